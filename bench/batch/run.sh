#!/usr/bin/env bash
# Measures tornix-convert -i over two trees, in one go: 10,000 small files in
# 100 folders, and four files of 64 MiB; next to `find -type f -exec cat {} +`
# over the same tree and a shell loop of `tornix-convert -o` on each file.
# Prints the best of the runs and the ratios:
#   bench/batch/run.sh [--runs N]
# Builds tornix-convert in Release mode in build/release (preset "release").
# Each run converts every file: the runs go to full width and back to half
# width in turn, on text that comes back as it was (no `/`, which becomes
# `//`).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
runs=3
[ "${1:-}" = "--runs" ] && runs="$2"

cmake --preset release >/dev/null
cmake --build --preset release --target tornix-convert >/dev/null
program="$root/build/release/src/cli/tornix-convert"
data="$root/build/release/batch-data"
rm -rf "$data"
mkdir -p "$data"

python3 - "$data" <<'PY'
import os, random, sys
data = sys.argv[1]
random.seed(20261209)
words = ["Hello", "World", "Tornix", "width", "123", "4.56", "(a+b)", "中文", "转换", "全角", "半角", "，", "。", "x=1;", "\n"]
def text(size):
    out, n = [], 0
    while n < size:
        w = random.choice(words) + " "
        out.append(w); n += len(w.encode())
    return "".join(out).encode("utf-8")
block = text(1 << 20)
for folder in range(100):
    os.makedirs(f"{data}/small/{folder:03}")
    for n in range(100):
        start = random.randrange(0, len(block) - 4096)
        with open(f"{data}/small/{folder:03}/{n:03}.txt", "wb") as f:
            f.write(block[start:start + random.randrange(500, 4000)])
os.makedirs(f"{data}/large")
for n in range(4):
    with open(f"{data}/large/{n}.txt", "wb") as f:
        for _ in range(64):
            f.write(block)
PY

# best COMMAND [RUNS]: the fastest of the runs of a shell command, which gets
# the run's direction as $direction.
best() {
  local fastest="" direction start end took
  for ((run = 0; run < ${2:-$runs}; ++run)); do
    direction=$([ $((run % 2)) -eq 0 ] && echo --to-full || echo --to-half)
    sync
    start=$(date +%s.%N)
    direction="$direction" program="$program" bash -c "$1" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    took=$(awk "BEGIN { printf \"%.3f\", $end - $start }")
    if [ -z "$fastest" ] || awk "BEGIN { exit !($took < $fastest) }"; then fastest=$took; fi
  done
  echo "$fastest"
}

echo "| tree | command | time (s) |"
echo "|---|---|---:|"
for tree in large small; do
  t="$data/$tree"
  cat_time=$(best "find '$t' -type f -exec cat {} + >/dev/null")
  in_place=$(best "\"\$program\" \"\$direction\" -i -r -q '$t'")
  check=$(best "\"\$program\" --to-half --check -r -q '$t'")
  echo "| $tree | \`find -type f -exec cat {} +\` | $cat_time |"
  echo "| $tree | \`tornix-convert -i -r\` | $in_place |"
  echo "| $tree | \`tornix-convert --check -r\` | $check |"
  if [ "$tree" = small ]; then
    # Once: ten thousand starts of the program take minutes.
    loop=$(best "find '$t' -type f | while read -r f; do \"\$program\" \"\$direction\" -o \"\$f\" \"\$f\"; done" 1)
    echo "| $tree | shell loop of \`tornix-convert -o\` | $loop |"
    echo
    echo "small tree: -i -r is $(awk "BEGIN { printf \"%.1f\", $loop / $in_place }")x faster than the shell loop"
  else
    echo "| | | |"
    large_ratio=$(awk "BEGIN { printf \"%.2f\", $in_place / $cat_time }")
  fi
done
echo "large tree: -i -r takes ${large_ratio}x the time of cat"
echo "(load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores)"
