#!/usr/bin/env bash
# Checks the layout of every C++ file with clang-format, and the sources of
# src/ with clang-tidy against the compile commands of a configured build:
#   scripts/check-style.sh [BUILD_DIR]          (default build/test): the
#       layout, and clang-tidy over the sources that the Linux build compiles
#   scripts/check-style.sh --windows BUILD_DIR  clang-tidy over the Win32
#       sources (*_win32.cpp, ui/framework/win32/) against a mingw-w64 build
#       (a windows-* preset), read by clang for that target with the cross
#       compiler's C++ headers
# Fails on the first file that is not laid out as clang-format would, or on
# any clang-tidy finding.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# clang-tidy over `sources` (one a line) with the compile commands in $1 and
# any further clang-tidy arguments.
tidy() {
  local database="$1" sources="$2"
  shift 2
  local status=0 output findings
  output="$(echo "$sources" | xargs -P 2 -n 4 clang-tidy -p "$database" --quiet "$@" 2>&1)" || status=$?
  findings="$(grep -v 'warnings\? generated\.$' <<<"$output" || true)"
  if [ "$status" -ne 0 ] || [ -n "$findings" ]; then
    echo "$findings"
    echo "check-style.sh: clang-tidy found the problems above" >&2
    exit 1
  fi
}

if [ "${1:-}" = "--windows" ]; then
  build="${2:?check-style.sh --windows: name the mingw-w64 build}"
  [ -f "$build/compile_commands.json" ] || { echo "check-style.sh: no $build/compile_commands.json" >&2; exit 2; }
  # The cross compiler, its target and its C++ headers; GCC's precompiled
  # headers are left out, as clang cannot read them (the sources include
  # what they use themselves).
  compiler="$(grep -o '"command": "[^ ]*' "$build/compile_commands.json" | head -n 1 | cut -d'"' -f4)"
  target="$(basename "$compiler" | grep -o '^[^-]*-w64-mingw32')"
  args=(--extra-arg="--target=$target")
  while read -r dir; do
    case "$dir" in */include/c++*) args+=(--extra-arg="-isystem$dir") ;; esac
  done < <("$compiler" -E -x c++ - -v </dev/null 2>&1 | sed -n '/#include <...> search starts/,/End of search list/p')
  database="$(mktemp -d)"
  trap 'rm -rf "$database"' EXIT
  sed -E 's# -Winvalid-pch##g; s# -include [^ ]*cmake_pch\.hxx##g' "$build/compile_commands.json" \
    >"$database/compile_commands.json"
  tidy "$database" "$(git ls-files 'src/*.cpp' | grep '_win32\.cpp$\|/win32/')" "${args[@]}"
  exit 0
fi

build="${1:-build/test}"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

[ -f "$build/compile_commands.json" ] || { echo "check-style.sh: no $build/compile_commands.json" >&2; exit 2; }
# The Linux build's sources of src/ (the Windows halves are not in it).
tidy "$build" "$(git ls-files 'src/*.cpp' | grep -v '_win32\.cpp$\|/win32/')"
