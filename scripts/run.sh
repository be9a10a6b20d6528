#!/usr/bin/env bash
# Installs what the program needs, builds tornix and starts it:
#   scripts/run.sh
# The build is the test build (build/test): an existing one is reused and
# brought up to date, quietly. Without a display (no DISPLAY or
# WAYLAND_DISPLAY) it starts a virtual one with xvfb-run; set
# TORNIX_RUN_BUILD_ONLY=1 to build without starting.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/install-deps.sh
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if [ ! -f build/test/CMakeCache.txt ]; then
  echo "Configuring build/test ..." >&2
  cmake --preset test >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
fi
cmake --build --preset test --target tornix >"$log" 2>&1 || { cat "$log" >&2; exit 1; }

program="$root/build/test/src/app/tornix"
[ "${TORNIX_RUN_BUILD_ONLY:-0}" = 1 ] && { echo "built $program"; exit 0; }

# A session without a runtime folder (a bare console, a container) gets a
# private one for the run, as a desktop session would provide.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR="$(mktemp -d "${TMPDIR:-/tmp}/tornix-runtime-XXXXXX")"
  export XDG_RUNTIME_DIR
  trap 'rm -f "$log"; rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting tornix on a virtual X display (xvfb-run)." >&2
  xvfb-run -a -s "-screen 0 1280x800x24" "$program"
else
  "$program"
fi
