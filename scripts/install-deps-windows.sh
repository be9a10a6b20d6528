#!/usr/bin/env bash
# Installs what the Windows cross-build and its Wine tests need: the i386
# architecture (for wine32), the packages of scripts/packages-windows.txt and
# the zh_CN.UTF-8 locale. Idempotent: a second run changes nothing.
#
# 32-bit Wine (wine32:i386) is wanted but not required: when the archive
# cannot give it (a mirror whose i386 lists are out of step with amd64 ones
# during a sync), the rest is installed and scripts/test-windows.sh tests the
# 64-bit build, as it does on a kernel that cannot run 32-bit code.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture"
  $sudo dpkg --add-architecture i386
  # A package list fetched before the architecture was added lacks its packages.
  "$here/apt-update.sh"
fi

"$here/install-deps.sh" "$here/packages-windows.txt"
# One try in half an hour: the scripts that build and test call this several
# times in one run.
unavailable=/var/tmp/tornix-wine32-unavailable
if [ "$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null || true)" != "install ok installed" ] &&
   [ -z "$(find "$unavailable" -mmin -30 2>/dev/null)" ]; then
  "$here/apt-update.sh"
  if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends wine32:i386; then
    echo "install-deps-windows.sh: wine32:i386 cannot be installed now; the Wine tests will run the 64-bit build" >&2
    $sudo touch "$unavailable"
  fi
fi

if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "Generating the zh_CN.UTF-8 locale"
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi
