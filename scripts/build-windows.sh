#!/usr/bin/env bash
# Cross-builds the Windows program with mingw-w64: build-windows.sh [i686|x86_64]
# (default i686, the shipped 32-bit tornix.exe). Installs the cross tools when
# missing, builds in Release, strips the program and checks that it is a GUI
# program that imports nothing but DLLs that Windows ships. Prints its path.
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
exe="$build/src/app/tornix.exe"
"$arch-w64-mingw32-strip" "$exe"

# What the program is and what it imports.
headers="$("$arch-w64-mingw32-objdump" -p "$exe")"
grep -q "file format $expect_format" <<<"$headers" || { echo "$exe is not $expect_format" >&2; exit 1; }
grep -Eq 'Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "$exe is not a GUI program" >&2; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|COMDLG32|ADVAPI32|SHELL32|MSVCRT|VERSION)\.DLL$'
foreign="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr '[:lower:]' '[:upper:]' | grep -Ev "$allowed" || true)"
if [ -n "$foreign" ]; then
  echo "$exe imports DLLs that Windows does not ship: $foreign" >&2
  exit 1
fi
echo "$exe"
