#!/usr/bin/env bash
# Time from launching tornix to its window being shown (first paint), median
# of 15 starts, offscreen and on a virtual X display (Xvfb) when one can be
# started:
#   scripts/bench-start.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/build-bench.sh tornix_start_probe
probe="$root/build/release/bench/tornix_start_probe"

measure() {  # measure <label>: the environment chooses the display
  python3 - "$probe" "$1" <<'PY'
import statistics, subprocess, sys, time
probe, label = sys.argv[1], sys.argv[2]
times = []
for _ in range(15):
    start = time.perf_counter()
    child = subprocess.Popen([probe], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    line = child.stdout.readline()
    shown = time.perf_counter()
    child.wait()
    if line.strip() != "shown":
        sys.exit(f"{label}: the probe did not show its window")
    times.append((shown - start) * 1000)
print(f"{label}: start to window shown, median {statistics.median(times):.0f} ms "
      f"(min {min(times):.0f}, max {max(times):.0f}, 15 starts)")
PY
}

QT_QPA_PLATFORM=offscreen measure offscreen
if command -v Xvfb >/dev/null; then
  display=":$((90 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  sleep 1
  DISPLAY="$display" QT_QPA_PLATFORM=xcb measure "Xvfb (xcb)"
fi
