#!/usr/bin/env bash
# Installs what the program needs, builds tornix and starts it:
#   scripts/run.sh
# Without a display (no DISPLAY or WAYLAND_DISPLAY) it starts a virtual one
# with xvfb-run; set TORNIX_RUN_BUILD_ONLY=1 to build without starting.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
cmake --preset test >/dev/null
cmake --build --preset test --target tornix

program="$root/build/test/src/app/tornix"
[ "${TORNIX_RUN_BUILD_ONLY:-0}" = 1 ] && { echo "built $program"; exit 0; }
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting tornix on a virtual X display (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$program"
fi
exec "$program"
