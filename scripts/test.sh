#!/usr/bin/env bash
# Installs what the build needs, builds and runs every test:
#  1. the unit tests and the Qt window tests (offscreen, and on a virtual X
#     display), built with g++ and warnings as errors (CMake preset "test");
#  2. the Debian package built from that tree and checked (lintian, the
#     desktop entry, the AppStream description, the packaged programs run);
#  3. the code's layout (clang-format) and clang-tidy's checks;
#  4. the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer
#     (clang), together with each libFuzzer target for a few seconds (preset
#     "sanitize");
#  5. the Windows program and its tests, cross-built with mingw-w64 and run
#     under Wine in a virtual X display, and clang-tidy's checks of the Win32
#     sources against that build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/install-deps.sh

cmake --preset test
cmake --build --preset test
ctest --preset test

scripts/check-package.sh build/test

scripts/check-style.sh build/test

cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

TORNIX_LINUX_CONVERT=build/test/src/cli/tornix-convert scripts/test-windows.sh
# The Windows sources' compile commands come from configuring the cross build.
cmake --preset windows-x86_64 >/dev/null
scripts/check-style.sh --windows build/windows-x86_64
