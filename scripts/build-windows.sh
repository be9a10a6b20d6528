#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64: build-windows.sh [i686|x86_64]
# (default i686); each architecture builds both. The release ships the 64-bit
# ones (scripts/release.sh builds them itself, reproducibly); the 32-bit
# ones run on 32-bit Windows too, without the vector code. Installs the cross tools when missing, builds in
# Release, strips the programs and checks that tornix.exe is a GUI program and
# tornix-convert.exe a console program, that both import nothing but DLLs
# that Windows ships, and that they are marked for Windows 7 and import
# nothing newer (tests/wine/check-imports.sh). Prints their paths.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
arch="${1:-i686}"
case "$arch" in
  i686) expect_format="pei-i386" ;;
  x86_64) expect_format="pei-x86-64" ;;
  *) echo "build-windows.sh: unknown architecture '$arch' (i686 or x86_64)" >&2; exit 2 ;;
esac

scripts/install-deps-windows.sh >&2

build="build/windows-$arch"
cmake --preset "windows-$arch" >&2
cmake --build --preset "windows-$arch" >&2
gui="$build/src/app/tornix.exe"
console="$build/src/cli/tornix-convert.exe"

allowed='^(KERNEL32|USER32|GDI32|COMCTL32|COMDLG32|ADVAPI32|SHELL32|OLE32|MSVCRT|VERSION)\.DLL$'
for exe in "$gui" "$console"; do
  "$arch-w64-mingw32-strip" "$exe"
  headers="$("$arch-w64-mingw32-objdump" -p "$exe")"
  grep -q "file format $expect_format" <<<"$headers" || { echo "$exe is not $expect_format" >&2; exit 1; }
  subsystem=00000002 kind="a GUI"
  [ "$exe" = "$console" ] && subsystem=00000003 kind="a console"
  grep -Eq "Subsystem[[:space:]]+$subsystem" <<<"$headers" || { echo "$exe is not $kind program" >&2; exit 1; }
  foreign="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | grep -Ev "$allowed" || true)"
  if [ -n "$foreign" ]; then
    echo "$exe imports DLLs that Windows does not ship: $foreign" >&2
    exit 1
  fi
done
[ -x tests/wine/check-imports.sh ] && tests/wine/check-imports.sh "$arch-w64-mingw32-objdump" "$gui" "$console" >&2
echo "$gui"
echo "$console"
