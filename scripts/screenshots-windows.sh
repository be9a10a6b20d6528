#!/usr/bin/env bash
# Pictures of the shipped (64-bit) tornix.exe under Wine, in the Wine tests'
# virtual desktop (which draws the title bars), into docs/:
#   windows-converter.png        the window after 半角 -〉 全角, 96 DPI (100 %)
#   windows-about.png            its About box, 96 DPI
#   windows-converter-144dpi.png the window after 半角 -〉 全角, 144 DPI (150 %)
#   windows-about-144dpi.png     its About box, 144 DPI
#   windows-save-chooser.png     the save chooser with its encoding list, 96 DPI
#   windows-open-chooser.png     the open chooser with its encoding list open, Big5 picked, 96 DPI
# Each DPI gets a scratch copy of the Wine tests' prefix with LogPixels set.
#   scripts/screenshots-windows.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps-windows.sh
exe="$root/$(scripts/build-windows.sh x86_64 | sed -n 1p)"
[ -d build/wine-prefix ] || scripts/test-windows.sh >/dev/null
driver="$root/build/windows-shot-driver.exe"
x86_64-w64-mingw32-g++-posix -O2 -static -municode scripts/windows-shot-driver.cpp -o "$driver"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver64
mkdir -p docs

# shoot DPI SUFFIX WHAT...: the pictures at one DPI.
shoot() {
  local dpi="$1" suffix="$2"
  shift 2
  export WINEPREFIX="$root/build/shot-prefix-$dpi"
  rm -rf "$WINEPREFIX"
  cp -a build/wine-prefix "$WINEPREFIX"
  local hex
  hex="$(printf '%08x' "$dpi")"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Control Panel\Desktop]' "\"LogPixels\"=dword:$hex" '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts]' "\"LogPixels\"=dword:$hex" '' \
    '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' \
    "\"LogPixels\"=dword:$hex" >"$WINEPREFIX/dpi.reg"
  wine regedit /S "$WINEPREFIX/dpi.reg"
  "$wineserver" -w
  for what in "$@"; do
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
      wine "$1" &
      rect=($(wine "$2" "$3" | tr -d "\r"))
      import -window root -crop "$((rect[2] + 20))x$((rect[3] + 20))+$((rect[0] - 10))+$((rect[1] - 10))" "$4"
      wineserver -k
      wait' _ "$exe" "$driver" "$what" "docs/windows-$(picture "$what")$suffix.png"
  done
  rm -rf "$WINEPREFIX"
}

picture() {
  case "$1" in
    convert) echo converter ;;
    about) echo about ;;
    save) echo save-chooser ;;
    open) echo open-chooser ;;
  esac
}

shoot 96 "" convert about save open
shoot 144 "-144dpi" convert about
ls -l docs/windows-*.png
