#!/usr/bin/env bash
# Installs what the build needs and builds the benchmarks in Release mode in
# build/bench: one target, or all of them.
#   scripts/build-bench.sh [TARGET]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORNIX_TESTS=OFF -DTORNIX_BENCH=ON >/dev/null
cmake --build build/bench -j2 ${1:+--target "$1"}
