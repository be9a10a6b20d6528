#!/usr/bin/env bash
# Checks the layout of every C++ file with clang-format, and the sources of
# src/ with clang-tidy against the compile commands of a configured build:
#   scripts/check-style.sh [BUILD_DIR]     (default build/test)
# Fails on the first file that is not laid out as clang-format would, or on
# any clang-tidy finding.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build/test}"

git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

[ -f "$build/compile_commands.json" ] || { echo "check-style.sh: no $build/compile_commands.json" >&2; exit 2; }
# The Linux build's sources of src/ (the Windows halves are not in it).
sources=$(git ls-files 'src/*.cpp' | grep -v '_win32\.cpp$\|/win32/')
status=0
output="$(echo "$sources" | xargs -P 2 -n 4 clang-tidy -p "$build" --quiet 2>&1)" || status=$?
findings="$(grep -v 'warnings\? generated\.$' <<<"$output" || true)"
if [ "$status" -ne 0 ] || [ -n "$findings" ]; then
  echo "$findings"
  echo "check-style.sh: clang-tidy found the problems above" >&2
  exit 1
fi
