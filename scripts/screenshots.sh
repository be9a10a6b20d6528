#!/usr/bin/env bash
# Pictures of the converter window and the About box, made from the real
# widgets offscreen, into docs/:
#   scripts/screenshots.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
cmake --preset test >/dev/null
cmake --build --preset test --target tornix_screenshots
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/test/tests/gui/tornix_screenshots docs
