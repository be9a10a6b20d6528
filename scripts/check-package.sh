#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it as
# a Debian 12 system will see it:
#   scripts/check-package.sh [BUILD_DIR]     (default build/test)
# - the desktop entry (desktop-file-validate) and the AppStream description
#   (appstreamcli validate --no-net);
# - lintian, which must find no error;
# - its dependencies, resolved against the archive (apt-get --simulate),
#   where apt knows the archive;
# - the packaged programs, run from the extracted files: tornix-convert
#   converts, and tornix opens its window on a virtual X display, with its
#   title, class and size read from the X server, and closes on Esc.
# The package is left in BUILD_DIR/package.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="${1:-build/test}"
out="$build/package"
id=org.tornix.Tornix

rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb="$(ls "$out"/tornix_*.deb)"
echo "check-package.sh: $deb"
files="$(mktemp -d)"
trap 'rm -rf "$files"' EXIT
dpkg-deb -x "$deb" "$files"

desktop-file-validate "$files/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$files/usr/share/metainfo/$id.metainfo.xml" >/dev/null
for size in 16x16 32x32 48x48; do
  file "$files/usr/share/icons/hicolor/$size/apps/tornix.png" | grep -q "${size/x/ x }," ||
    { echo "check-package.sh: no $size icon" >&2; exit 1; }
done
status=0
report="$(lintian --fail-on error "$deb" 2>&1)" || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || { echo "check-package.sh: lintian found errors" >&2; exit 1; }

if apt-cache show qt6-qpa-plugins >/dev/null 2>&1; then
  apt-get install --simulate --no-install-recommends "$(realpath "$deb")" >/dev/null ||
    { echo "check-package.sh: the dependencies cannot be installed" >&2; exit 1; }
else
  echo "check-package.sh: apt knows no archive; dependencies not resolved"
fi

[ "$("$files/usr/bin/tornix-convert" --version)" = "tornix-convert $(dpkg-deb -f "$deb" Version)" ]
[ "$(printf 'Hello, World!' | "$files/usr/bin/tornix-convert" --to-full -e gbk | iconv -f gbk -t utf-8)" = "Ｈｅｌｌｏ， Ｗｏｒｌｄ！" ]
[ "$(printf '中文, 1.' | "$files/usr/bin/tornix-convert" --to-full)" = "中文， １。" ]

# The window: found by its title, then closed with Esc, which ends the program.
export TORNIX_PROGRAM="$files/usr/bin/tornix"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -euo pipefail
  export XDG_RUNTIME_DIR="$(mktemp -d)"
  "$TORNIX_PROGRAM" & program=$!
  window="$(timeout 20 xdotool search --sync --name "^Qelvar Ver\. 1\.0713$" | head -n 1)"
  xprop -id "$window" WM_CLASS | grep -q "\"tornix\", \"tornix\""
  xwininfo -id "$window" | grep -q "Width: 674"
  xdotool windowfocus --sync "$window" key Escape
  timeout 10 tail --pid="$program" -f /dev/null
  wait "$program"
  rm -rf "$XDG_RUNTIME_DIR"'
echo "check-package.sh: the package is good"
