#!/bin/sh
# Runs a Windows test program under Wine: run-wine.sh LOADER PROGRAM [ARGS...].
# WINEPREFIX and DISPLAY come from scripts/test-windows.sh. Wine's own
# diagnostics are silenced; the program's output and exit status pass through.
loader="$1"
shift
if [ -z "${WINEPREFIX:-}" ]; then
  echo "run-wine.sh: WINEPREFIX is not set; run the Wine tests with scripts/test-windows.sh" >&2
  exit 1
fi
export WINEDEBUG="${WINEDEBUG:--all}"
exec "$loader" "$@"
