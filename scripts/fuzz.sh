#!/usr/bin/env bash
# A long run of one libFuzzer target (or all of them, one after another):
#   scripts/fuzz.sh [TARGET] [SECONDS]      e.g. scripts/fuzz.sh fuzz_width 3600
# Targets: one per tests/fuzz/fuzz_*.cpp, named after it. New inputs go to
# build/fuzz-corpus/TARGET; a crash leaves its input in the current folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
cmake --preset sanitize >/dev/null
targets="${1:-$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')}"
seconds="${2:-600}"
for target in $targets; do
  cmake --build --preset sanitize --target "$target"
  binary="$(find build/sanitize/tests -name "$target" -type f -perm -u+x | head -1)"
  mkdir -p "build/fuzz-corpus/$target"
  "$binary" -max_total_time="$seconds" "build/fuzz-corpus/$target" "tests/fuzz/corpus/$target"
done
