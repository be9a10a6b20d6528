#!/usr/bin/env bash
# Makes the release of the checked-out commit, into one folder:
#   scripts/release.sh [--windows-only] [OUT]        (default OUT: build/release-files)
#
#   tornix-<version>-setup.exe    the Windows setup (NSIS, packaging/windows/tornix.nsi)
#   tornix-<version>-windows.zip  the portable programs, README.txt, LICENSE.txt
#   tornix_<version>_amd64.deb    the Debian package (not with --windows-only)
#   SHA256SUMS                    over the files above (sha256sum -c SHA256SUMS)
#   winget/                       packaging/winget/ filled in: version, URL, hash
#   scoop/tornix.json             packaging/scoop/tornix.json filled in
#
# The Windows programs are the 64-bit tornix.exe and tornix-convert.exe
# (mingw-w64, Release, stripped). The build is reproducible: SOURCE_DATE_EPOCH
# is the commit's time unless set, every file in the zip and the setup has
# that time, in a fixed order, and the programs carry no link time and no
# path of the tree (TORNIX_REPRODUCIBLE), so a second build of the same
# commit in another folder gives the same bytes (scripts/check-release.sh).
#
# TORNIX_DOWNLOAD_URL: where the files will be published (the manifests'
# URLs; default https://tornix.org/download/<version>). TORNIX_RELEASE_BUILD:
# the build folder (default build/release-build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

windows_only=0
if [ "${1:-}" = "--windows-only" ]; then
  windows_only=1
  shift
fi
out="$(realpath -m "${1:-build/release-files}")"
work="$(realpath -m "${TORNIX_RELEASE_BUILD:-build/release-build}")"

scripts/install-deps.sh scripts/packages-windows.txt >&2
[ "$windows_only" = 1 ] || scripts/install-deps.sh >&2

version="$(sed -n 's/^project(tornix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[ -n "$version" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022
download="${TORNIX_DOWNLOAD_URL:-https://tornix.org/download/$version}"
homepage="https://tornix.org"
setup="tornix-$version-setup.exe"
zip="tornix-$version-windows.zip"

rm -rf "$out"
mkdir -p "$out" "$work"

# The Windows programs.
triplet=x86_64-w64-mingw32
cmake -S . -B "$work/windows" -G Ninja --toolchain "$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTORNIX_TESTS=OFF -DTORNIX_GUI=OFF -DTORNIX_WERROR=ON -DTORNIX_REPRODUCIBLE=ON >&2
cmake --build "$work/windows" -j2 --target tornix tornix-convert >&2
stage="$work/stage"
rm -rf "$stage"
mkdir -p "$stage"
for exe in src/app/tornix.exe src/cli/tornix-convert.exe; do
  "$triplet-strip" -o "$stage/$(basename "$exe")" "$work/windows/$exe"
done
tests/wine/check-imports.sh "$triplet-objdump" "$stage/tornix.exe" "$stage/tornix-convert.exe" >&2
tests/wine/check-vector-moves.sh "$triplet-objdump" "$stage/tornix.exe" "$stage/tornix-convert.exe" >&2

# Texts for Windows: CR LF lines; the README in UTF-8 with its mark, which
# Notepad on every Windows reads as UTF-8.
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
{ printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' packaging/windows/README.txt; } >"$stage/README.txt"
chmod 644 "$stage"/*
touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

# The zip: the files in this order, their time, no extra fields.
(cd "$stage" && zip -X -9 -q "$out/$zip" tornix.exe tornix-convert.exe README.txt LICENSE.txt)
touch -d "@$SOURCE_DATE_EPOCH" "$out/$zip"

# The setup.
makensis -INPUTCHARSET UTF8 -V2 -DVERSION="$version" -DPROGRAMS="$stage" -DOUTFILE="$out/$setup" \
  -DICON="$root/src/res/icon/tornix.ico" packaging/windows/tornix.nsi >&2
touch -d "@$SOURCE_DATE_EPOCH" "$out/$setup"

# The Debian package of the Linux programs.
artifacts=("$setup" "$zip")
if [ "$windows_only" = 0 ]; then
  cmake -S . -B "$work/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTORNIX_TESTS=OFF -DTORNIX_REPRODUCIBLE=ON >&2
  cmake --build "$work/linux" -j2 >&2
  rm -rf "$work/linux/package"
  cpack --config "$work/linux/CPackConfig.cmake" -G DEB -B "$work/linux/package" >&2
  deb="$(cd "$work/linux/package" && ls tornix_*.deb)"
  cp "$work/linux/package/$deb" "$out/$deb"
  artifacts+=("$deb")
fi

(cd "$out" && sha256sum "${artifacts[@]}" >SHA256SUMS)

# The manifests, filled in.
hash_of() { sha256sum "$out/$1" | cut -d ' ' -f 1; }
fill() {
  sed -e "s|@VERSION@|$version|g" -e "s|@HOMEPAGE@|$homepage|g" \
    -e "s|@RELEASE_DATE@|$(date -u -d "@$SOURCE_DATE_EPOCH" +%F)|g" \
    -e "s|@SETUP_URL@|$download/$setup|g" -e "s|@SETUP_SHA256@|$(hash_of "$setup" | tr a-f A-F)|g" \
    -e "s|@ZIP_URL@|$download/$zip|g" -e "s|@ZIP_SHA256@|$(hash_of "$zip")|g" "$1" >"$2"
  if grep -n '@[A-Z0-9_]*@' "$2"; then
    echo "release.sh: $2 has a field left unfilled" >&2
    exit 1
  fi
}
mkdir -p "$out/winget" "$out/scoop"
for manifest in packaging/winget/*.yaml; do
  fill "$manifest" "$out/winget/$(basename "$manifest")"
done
fill packaging/scoop/tornix.json "$out/scoop/tornix.json"

echo "release.sh: Tornix $version (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH) in $out:" >&2
(cd "$out" && cat SHA256SUMS) >&2
