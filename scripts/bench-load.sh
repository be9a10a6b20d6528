#!/usr/bin/env bash
# Load, convert and show a large text file in the real window (offscreen):
# time and peak memory. The same text twice, as GBK (SIZE_MIB, default 50)
# and as UTF-8 (larger: a hanzi takes three bytes instead of two), each run in
# turn, ROUNDS times (default 5), so that both meet the same load; then the
# median of each time and the UTF-8 median over the GBK one.
#   scripts/bench-load.sh [SIZE_MIB] [--to-full | --load-only]
#   ROUNDS=9 scripts/bench-load.sh 34      # a UTF-8 file of about 50 MiB
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/build-bench.sh load_convert_probe

size_mib="${1:-50}"
shift $(( $# > 0 ? 1 : 0 ))
gbk="build/release/load-${size_mib}mib.txt"
utf8="build/release/load-${size_mib}mib-utf8.txt"
if [ ! -f "$gbk" ] || [ ! -f "$utf8" ]; then
  # Chinese prose lines with full-width punctuation, ASCII words and digits.
  python3 - "$gbk" "$utf8" "$size_mib" <<'PY'
import random, sys
gbk, utf8, size = sys.argv[1], sys.argv[2], int(sys.argv[3]) << 20
rng = random.Random(50)
words = ["中文", "文本", "转换", "工具", "全角", "半角", "字符", "程序", "我们", "这个"]
marks = ["，", "。", "：", "；", "！", "（１２３）", "Hello World ", "ＡＢＣ"]
out = bytearray()
while len(out) < size:
    line = "".join(rng.choice(words) + (rng.choice(marks) if rng.random() < 0.3 else "") for _ in range(rng.randint(5, 30)))
    out += ("　　" + line + "\r\n").encode("gbk")
text = bytes(out[:size])
open(gbk, "wb").write(text)
# The same characters; a character cut by the size limit is left out.
open(utf8, "wb").write(text.decode("gbk", errors="ignore").encode("utf-8"))
PY
fi
lines="$(mktemp)"
trap 'rm -f "$lines"' EXIT
for round in $(seq "${ROUNDS:-5}"); do
  for file in "$gbk" "$utf8"; do
    line="$(QT_QPA_PLATFORM=offscreen build/release/bench/load_convert_probe "$file" "$@" 2>/dev/null)"
    echo "$([ "$file" = "$gbk" ] && echo "gbk  " || echo "utf-8") $line" | tee -a "$lines"
  done
done
python3 - "$lines" <<'PY'
import statistics, sys
runs = {"gbk": [], "utf-8": []}
for line in open(sys.argv[1]):
    name, *pairs = line.split()
    runs[name].append({k: float(v) for k, v in (p.split("=") for p in pairs)})
for key in ("read_ms", "load_show_ms", "load_convert_show_ms", "boxes_filled_ms", "peak_mib"):
    g = statistics.median(r[key] for r in runs["gbk"])
    u = statistics.median(r[key] for r in runs["utf-8"])
    print(f"median {key}: gbk {g:.0f}, utf-8 {u:.0f}, utf-8/gbk {u / g:.2f}")
PY
