#!/usr/bin/env bash
# Load, convert and show a 50 MiB text file in the real window (offscreen):
# time and peak memory. The same text twice, as GBK and as UTF-8 (the UTF-8
# file is larger: a hanzi takes three bytes instead of two), each run in turn
# three times, so that both meet the same load; then the UTF-8 time over the
# GBK time of each round.
#   scripts/bench-load.sh [SIZE_MIB] [--to-full | --load-only]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/build-bench.sh load_convert_probe

size_mib="${1:-50}"
shift $(( $# > 0 ? 1 : 0 ))
file="build/release/load-${size_mib}mib.txt"
utf8="build/release/load-${size_mib}mib-utf8.txt"
if [ ! -f "$file" ] || [ ! -f "$utf8" ]; then
  # Chinese prose lines with full-width punctuation, ASCII words and digits.
  python3 - "$file" "$utf8" "$size_mib" <<'PY'
import random, sys
path, utf8, size = sys.argv[1], sys.argv[2], int(sys.argv[3]) << 20
rng = random.Random(50)
words = ["中文", "文本", "转换", "工具", "全角", "半角", "字符", "程序", "我们", "这个"]
marks = ["，", "。", "：", "；", "！", "（１２３）", "Hello World ", "ＡＢＣ"]
out = bytearray()
while len(out) < size:
    line = "".join(rng.choice(words) + (rng.choice(marks) if rng.random() < 0.3 else "") for _ in range(rng.randint(5, 30)))
    out += ("　　" + line + "\r\n").encode("gbk")
text = bytes(out[:size])
open(path, "wb").write(text)
open(utf8, "wb").write(text.decode("gbk", errors="ignore").encode("utf-8"))
PY
fi
for run in 1 2 3; do
  gbk_line="$(QT_QPA_PLATFORM=offscreen build/release/bench/load_convert_probe "$file" "$@")"
  utf8_line="$(QT_QPA_PLATFORM=offscreen build/release/bench/load_convert_probe "$utf8" "$@")"
  echo "gbk   $gbk_line"
  echo "utf-8 $utf8_line"
  field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2"; }
  for key in load_show_ms load_convert_show_ms boxes_filled_ms; do
    awk -v k="$key" -v g="$(field "$key" "$gbk_line")" -v u="$(field "$key" "$utf8_line")" \
      'BEGIN { if (g > 0) printf "  utf-8/gbk %s: %.2f\n", k, u / g }'
  done
done
