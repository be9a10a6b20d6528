#!/usr/bin/env bash
# Installs what the build needs and builds the benchmarks in Release mode in
# build/release (CMake preset "release"): one target, or all of them.
#   scripts/build-bench.sh [TARGET]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release ${1:+--target "$1"}
