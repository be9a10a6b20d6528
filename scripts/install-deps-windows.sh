#!/usr/bin/env bash
# Installs what the Windows cross-build and its Wine tests need: the i386
# architecture (for wine32), the packages of scripts/packages-windows.txt and
# the zh_CN.UTF-8 locale. Idempotent: a second run changes nothing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture"
  $sudo dpkg --add-architecture i386
  # A package list fetched before the architecture was added lacks its packages.
  $sudo apt-get update -qq
fi

"$here/install-deps.sh" "$here/packages-windows.txt"

if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  echo "Generating the zh_CN.UTF-8 locale"
  if ! grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi
