#!/usr/bin/env bash
# Measures tornix-convert -i over two trees, in one go: four files of 64 MiB,
# and 10,000 small files in 100 folders; next to `find -type f -exec cat {} +`
# over the same tree (to /dev/null, and to a file that is then synced) and a
# shell loop of `tornix-convert -o` on each file. Prints each round and the
# ratios of the best:
#   bench/batch/run.sh [--runs N]
# Builds tornix-convert in Release mode in build/release (preset "release").
# Every run converts every file: the runs go to full width and back to half
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

# timed COMMAND: the seconds a shell command takes (its output dropped).
timed() {
  local start end
  sync
  start=$(date +%s.%N)
  program="$program" bash -c "$1" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk "BEGIN { printf \"%.3f\", $end - $start }"
}

# The large files: each round reads the tree with cat, converts it to full
# width in place, reads it again, converts it back; the round's ratio is
# that of the two conversions to the two reads. The best round is kept, and
# the same against cat writing what it reads to a file and syncing it (a
# rewrite in place writes every byte and flushes it to the disk).
large="$data/large"
best_ratio="" best_written=""
for ((run = 0; run < runs; ++run)); do
  cat1=$(timed "find '$large' -type f -exec cat {} + >/dev/null")
  copy1=$(timed "find '$large' -type f -exec cat {} + >'$data/copy' && sync '$data/copy'")
  full=$(timed "\"\$program\" --to-full -i -r -q '$large'")
  cat2=$(timed "find '$large' -type f -exec cat {} + >/dev/null")
  copy2=$(timed "find '$large' -type f -exec cat {} + >'$data/copy' && sync '$data/copy'")
  half=$(timed "\"\$program\" --to-half -i -r -q '$large'")
  check=$(timed "\"\$program\" --to-full --check -r -q '$large'")
  ratio=$(awk "BEGIN { printf \"%.2f\", ($full + $half) / ($cat1 + $cat2) }")
  written=$(awk "BEGIN { printf \"%.2f\", ($full + $half) / ($copy1 + $copy2) }")
  echo "large tree, round $((run + 1)): cat ${cat1} s and ${cat2} s, cat to a file and sync ${copy1} s and ${copy2} s," \
    "-i --to-full ${full} s, -i --to-half ${half} s, --check ${check} s"
  if [ -z "$best_ratio" ] || awk "BEGIN { exit !($ratio < $best_ratio) }"; then best_ratio=$ratio best_written=$written; fi
done
rm -f "$data/copy"

# The small files: -i -r (in turn to full width and back), --check, cat, and
# once a shell loop of tornix-convert -o (ten thousand starts of the program
# take minutes).
small="$data/small"
cat_small=$(best "find '$small' -type f -exec cat {} + >/dev/null")
in_place=$(best "\"\$program\" \"\$direction\" -i -r -q '$small'")
check_small=$(best "\"\$program\" --to-half --check -r -q '$small'")
loop=$(best "find '$small' -type f | while read -r f; do \"\$program\" \"\$direction\" -o \"\$f\" \"\$f\"; done" 1)
echo "small tree: cat ${cat_small} s, -i -r ${in_place} s, --check ${check_small} s, shell loop of -o ${loop} s"
echo
echo "large tree: -i -r takes ${best_ratio}x the time of cat, ${best_written}x that of cat to a file and sync"
echo "small tree: -i -r is $(awk "BEGIN { printf \"%.1f\", $loop / $in_place }")x faster than the shell loop"
echo "(load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores)"
