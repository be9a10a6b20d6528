#!/usr/bin/env bash
# Builds the benchmarks in Release mode and runs one of them (or all), e.g.
#   scripts/bench.sh width_bench
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/build-bench.sh "${1:-}"
shift_args=("${@:2}")
for bench in ${1:-$(cd build/release/bench && ls *_bench 2>/dev/null)}; do
  "build/release/bench/$bench" "${shift_args[@]}"
done
