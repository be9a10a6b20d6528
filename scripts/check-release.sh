#!/usr/bin/env bash
# Makes the release twice and compares the two byte for byte:
#   scripts/check-release.sh [--windows-only]
# The first build (scripts/release.sh, with the Debian package unless
# --windows-only) goes to build/release-files from build/release-build; the
# second, started later, with another umask and from another build folder
# (build/release-check), makes the Windows files again. Its programs, zip and
# setup must be the same bytes as the first's (cmp); the Debian package is
# built once.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

first=()
[ "${1:-}" = --windows-only ] && first=(--windows-only)
scripts/release.sh "${first[@]}" build/release-files
rm -rf build/release-check  # built afresh, in another folder
sleep 2                     # and at a later time: nothing may take the clock's
(umask 077 && TORNIX_RELEASE_BUILD=build/release-check/build scripts/release.sh --windows-only build/release-check/files)

status=0
compare() {
  if cmp "$1" "$2"; then
    echo "check-release.sh: the same bytes: $(basename "$1")"
  else
    status=1
  fi
}
for exe in tornix.exe tornix-convert.exe; do
  compare build/release-build/stage/$exe build/release-check/build/stage/$exe
done
for file in build/release-check/files/*.exe build/release-check/files/*.zip; do
  compare "build/release-files/$(basename "$file")" "$file"
done
[ "$status" -eq 0 ] || { echo "check-release.sh: the two builds differ" >&2; exit 1; }
(cd build/release-files && sha256sum --quiet -c SHA256SUMS)
echo "check-release.sh: two builds of $(git rev-parse --short HEAD) are the same; SHA256SUMS holds"
