#!/usr/bin/env bash
# Installs what the build needs, builds and runs every test:
#  1. the unit tests and the Qt window tests (offscreen), built with g++ and
#     warnings as errors;
#  2. the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer
#     (clang), together with each libFuzzer target for a few seconds;
#  3. the Windows program and its tests, cross-built with mingw-w64 and run
#     under Wine in a virtual X display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/install-deps.sh

cmake -S . -B build/test -G Ninja -DTORNIX_WERROR=ON
cmake --build build/test -j2
ctest --test-dir build/test -j2 --output-on-failure

CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORNIX_WERROR=ON -DTORNIX_SANITIZE=ON -DTORNIX_FUZZ=ON -DTORNIX_GUI=OFF
cmake --build build/sanitize -j2
ctest --test-dir build/sanitize -j2 -L 'unit|fuzz' --output-on-failure

scripts/test-windows.sh
