#!/usr/bin/env bash
# Installs the Debian packages listed in the given package files (default:
# scripts/packages-linux.txt). Idempotent: does nothing when all are present.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lists=("$@")
[ ${#lists[@]} -gt 0 ] || lists=("$here/packages-linux.txt")

wanted=()
for list in "${lists[@]}"; do
  while read -r pkg _; do
    [ -n "$pkg" ] && [ "${pkg#\#}" = "$pkg" ] && wanted+=("$pkg")
  done < "$list"
done

missing=()
for pkg in "${wanted[@]}"; do
  status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
  [ "$status" = "install ok installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"$here/apt-update.sh"
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
