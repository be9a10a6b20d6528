#!/usr/bin/env bash
# Pictures of the converter window, the About box, a message box, the open
# chooser (also with its encoding list open) and the save chooser, made from
# the real windows on a virtual X display where a window
# manager (Openbox) draws their title bars, in the C.UTF-8 locale, into
# docs/:
#   scripts/screenshots.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh scripts/packages-linux.txt scripts/packages-screenshots.txt
[ -f build/test/CMakeCache.txt ] || cmake --preset test >/dev/null
cmake --build --preset test --target tornix_screenshots >/dev/null
mkdir -p docs
XDG_RUNTIME_DIR="$(mktemp -d)"
export XDG_RUNTIME_DIR LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  openbox >/dev/null 2>&1 & manager=$!
  sleep 1
  status=0
  build/test/tests/gui/tornix_screenshots docs || status=$?
  kill "$manager"
  exit "$status"'
