#!/usr/bin/env bash
# Load, convert and show a 50 MiB GBK text file in the real window (offscreen):
# time and peak memory, three runs.
#   scripts/bench-load.sh [SIZE_MIB] [--to-full | --load-only]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/build-bench.sh load_convert_probe

size_mib="${1:-50}"
shift $(( $# > 0 ? 1 : 0 ))
file="build/release/load-${size_mib}mib.txt"
if [ ! -f "$file" ]; then
  # Chinese prose lines with full-width punctuation, ASCII words and digits.
  python3 - "$file" "$size_mib" <<'PY'
import random, sys
path, size = sys.argv[1], int(sys.argv[2]) << 20
rng = random.Random(50)
words = ["中文", "文本", "转换", "工具", "全角", "半角", "字符", "程序", "我们", "这个"]
marks = ["，", "。", "：", "；", "！", "（１２３）", "Hello World ", "ＡＢＣ"]
out = bytearray()
while len(out) < size:
    line = "".join(rng.choice(words) + (rng.choice(marks) if rng.random() < 0.3 else "") for _ in range(rng.randint(5, 30)))
    out += ("　　" + line + "\r\n").encode("gbk")
open(path, "wb").write(bytes(out[:size]))
PY
fi
for run in 1 2 3; do
  QT_QPA_PLATFORM=offscreen build/release/bench/load_convert_probe "$file" "$@"
done
