#!/usr/bin/env bash
# Builds the Windows programs and their tests with mingw-w64 and runs them
# under Wine (CTest label wine): the unit tests of the core, the text files and
# the display codec; the converter window driven with window messages under
# Xvfb in a Chinese (PRC) locale, with tornix.exe's resources read back and
# compared with the template data; tornix-convert.exe run as a Windows
# program and compared byte for byte with the Linux tornix-convert; and the
# version floor (Windows 7) of the programs' headers and imports.
#
# The release (scripts/release.sh, made twice and compared by scripts/
# check-release.sh) ships the 64-bit tornix.exe and tornix-convert.exe; its
# setup and zip are installed, run, upgraded and uninstalled in a fresh Wine
# prefix (tests/wine/release-test.sh), and its tornix-convert.exe is compared
# with the Linux program on every vector tier. The other tests run the
# programs and the test programs as 32-bit Windows programs when this machine
# can start 32-bit Wine; without it (a kernel without 32-bit support, or no
# wine32 package to be had) the same sources are built and tested as 64-bit
# Windows programs. The 32-bit tornix.exe is still built and checked
# (scripts/build-windows.sh i686).
#
# The Linux tornix-convert is TORNIX_LINUX_CONVERT when that is set (the
# program of scripts/test.sh's build), otherwise built here (preset cli).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/install-deps-windows.sh
scripts/build-windows.sh i686 >/dev/null
# The release's Windows files, made twice and compared; its programs and files
# are tested below. (scripts/check-package.sh builds and checks the Debian
# package.)
scripts/check-release.sh --windows-only
shipped_convert="$root/build/release-build/stage/tornix-convert.exe"
linux_convert="${TORNIX_LINUX_CONVERT:-}"
if [ -z "$linux_convert" ]; then
  cmake --preset cli >/dev/null
  cmake --build --preset cli >/dev/null
  linux_convert="$root/build/cli/src/cli/tornix-convert"
fi
linux_convert="$(realpath "$linux_convert")"

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  arch=i686 loader=/usr/lib/wine/wine
else
  echo "This kernel cannot start 32-bit Wine: testing the 64-bit build."
  arch=x86_64 loader=/usr/lib/wine/wine64
fi
build="build/wine-$arch"
cmake --preset "wine-$arch" -DTORNIX_LINUX_CONVERT="$linux_convert" -DTORNIX_SHIPPED_CONVERT="$shipped_convert" \
  -DTORNIX_RELEASE_FILES="$root/build/release-files"
cmake --build --preset "wine-$arch"

# A Wine prefix of the project's own, with a CJK font standing in for 宋体,
# and a virtual desktop: its windows have title bars and appear and vanish
# without waiting for a window manager that Xvfb does not have.
export WINEPREFIX="$root/build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
marker="$WINEPREFIX/.tornix-prefix-2"
if [ ! -f "$marker" ]; then
  rm -rf "$WINEPREFIX"
  "$loader" wineboot -i >/dev/null 2>&1
  settings="$WINEPREFIX/tornix.reg"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' '"NSimSun"="AR PL UMing CN"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="1280x1024"' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings"
  "$loader" regedit /S "$settings"
  "$wineserver" -w
  touch "$marker"
fi

# One X server for the run; the Wine server stays up between the tests.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$build" -L wine --output-on-failure
