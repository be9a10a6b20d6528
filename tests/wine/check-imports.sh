#!/usr/bin/env bash
# check-imports.sh OBJDUMP EXE...: checks that Windows programs keep to the
# version floor, Windows 7 (6.1): their subsystem and operating system version
# fields say 6.1, and every function they import is one that Windows 7's
# system DLLs export (tests/wine/windows7-imports.txt). Prints each problem
# and exits 1 when there is any.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
objdump="$1"
shift
floor_major=6 floor_minor=1
allowed="$(grep -v '^#' "$here/windows7-imports.txt" | grep . | sort -u)"

status=0
for exe in "$@"; do
  headers="$("$objdump" -p "$exe")"
  for field in MajorSubsystemVersion=$floor_major MinorSubsystemVersion=$floor_minor \
    MajorOSystemVersion=$floor_major MinorOSystemVersion=$floor_minor; do
    name="${field%=*}" want="${field#*=}"
    got="$(awk -v name="$name" '$1 == name { print $2 }' <<<"$headers")"
    if [ "$got" != "$want" ]; then
      echo "$exe: $name is '$got', not $want (Windows 7)"
      status=1
    fi
  done
  # Under each "DLL Name:" line, one line per function: address, hint, name.
  imports="$(awk '/DLL Name:/ { dll = toupper($3) } /^\t[0-9a-f]+\t +[0-9]+ +[^ ]/ { print dll " " $3 }' \
    <<<"$headers" | sort -u)"
  if [ -z "$imports" ]; then
    echo "$exe: no imports found (objdump's format changed?)"
    status=1
  fi
  newer="$(comm -23 <(echo "$imports") <(echo "$allowed"))"
  if [ -n "$newer" ]; then
    echo "$exe imports functions that are not known to be in Windows 7:"
    sed 's/^/  /' <<<"$newer"
    status=1
  fi
done
exit $status
