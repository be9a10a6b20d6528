#!/usr/bin/env bash
# Measures tornix-convert against ICU's uconv, nkf, Perl, Python and cat on
# one generated 64 MiB document, in one go, and prints a Markdown table:
#   bench/cli/run.sh [--size-mib N] [--runs N]
# Installs the peers it needs (Debian packages) and builds tornix-convert in
# Release mode in build/release (CMake preset "release").
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"

need=()
command -v uconv >/dev/null || need+=(icu-devtools)
command -v nkf >/dev/null || need+=(nkf)
command -v python3 >/dev/null || need+=(python3)
command -v perl >/dev/null || need+=(perl)
[ -x /usr/bin/time ] || need+=(time)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

build=build/release
cmake --preset release >/dev/null
cmake --build --preset release --target tornix-convert >/dev/null
python3 bench/cli/measure.py --program "$build/src/cli/tornix-convert" --work "$build/cli-data" "$@"
