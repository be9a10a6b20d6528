#!/usr/bin/env bash
# release-test.sh RELEASE_DIR PROBE_LOADER OPEN_PROBE LINUX_CONVERT: the
# release's setup and zip (scripts/release.sh) as a Windows user meets them,
# in a fresh Wine prefix of their own (64-bit Wine; DISPLAY from the caller):
#   - an older setup (the same programs called 1.0.0.0), per user, silent,
#     into a folder with Chinese characters and spaces, with the desktop
#     shortcut and PATH; the release's setup over it: one entry, the new
#     version, the same folder and choices;
#   - the files, the shortcuts' target, the Apps & features values, the
#     "Open with" entry (and .txt's default program untouched), PATH;
#   - the installed tornix.exe with a file on its command line (the text in
#     the input box), with a missing file, a folder and a file with NUL bytes
#     (Load's message over the empty window); tornix-convert.exe converts as
#     the Linux program does;
#   - the uninstall while tornix.exe runs stops with nothing removed; the
#     silent uninstall removes all the setup made, restores PATH and keeps a
#     file the user put in the folder;
#   - per machine (/AllUsers) into Program Files, run twice: one entry in
#     HKLM, nothing in HKCU; uninstalled, nothing left;
#   - the zip unpacked into a folder with Chinese characters and spaces:
#     both programs run from there.
# Prints each failure and exits 1 when there is any.
set -uo pipefail
release="$(realpath "$1")" probe_loader="$2" probe="$3" linux_convert="$4"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
version="$(sed -n 's/^tornix-\(.*\)-setup\.exe$/\1/p' < <(ls "$release"))"
setup="$release/tornix-$version-setup.exe"
zip="$release/tornix-$version-windows.zip"
work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
trap '"$wineserver" -k >/dev/null 2>&1; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
step() { echo "-- $*"; }

[ -f "$setup" ] && [ -f "$zip" ] || { echo "release-test.sh: no setup or zip in $release"; exit 1; }
if ! "$wine" --version >/dev/null 2>&1; then
  echo "release-test.sh: skipped: the 64-bit setup needs 64-bit Wine ($wine), which is missing"
  exit 77
fi
"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w

# The Unix path of a Windows one, and back.
unix() { "$wine" winepath -u "$1" 2>/dev/null; }
windows() { "$wine" winepath -w "$1" 2>/dev/null; }
# Runs a command line as a user types it at cmd.exe's prompt (from a batch
# file: Wine would quote an argument holding spaces), so that /D= reaches
# the setup as typed, unquoted, and waits until every program of the prefix
# has ended: an uninstaller hands over to a copy of itself, and cmd.exe has
# been seen to return before a setup's registry entry could be read.
run() {
  printf '@echo off\r\n%s\r\nexit /b %%errorlevel%%\r\n' "$1" | iconv -f UTF-8 -t GBK >"$work/run.bat"
  "$wine" cmd /c "$(windows "$work/run.bat")" >/dev/null 2>&1
  local status=$?
  "$wineserver" -w
  return $status
}
# A registry value's data as `reg query` prints it (a DWORD as 0x...), or
# nothing when the key or value is missing. NAME @ is the default value.
reg_get() {
  local which=(/v "$2")
  [ "$2" = @ ] && which=(/ve)
  "$wine" reg query "$1" "${which[@]}" 2>/dev/null | iconv -f GBK -t UTF-8 | tr -d '\r' |
    sed -n -E 's/^    .*    REG_[A-Z_]+    ?//p' | head -n 1
}
reg_key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
expect_value() {  # KEY NAME EXPECTED
  local got
  got="$(reg_get "$1" "$2")"
  [ "$got" = "$3" ] || fail "$1 $2 is '$got', not '$3'"
}
# The install folder that a shortcut opens (its target's folder, from the
# Windows path it holds, in UTF-16 or in the ANSI code page).
shortcut_opens() {  # LINK TARGET
  [ -f "$1" ] || { fail "no shortcut $1"; return; }
  local link
  link="$(xxd -p "$1" | tr -d '\n')"
  if ! grep -q "$(printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | xxd -p | tr -d '\n')" <<<"$link" &&
    ! grep -q "$(printf '%s' "$2" | iconv -f UTF-8 -t GBK | xxd -p | tr -d '\n')" <<<"$link"; then
    fail "the shortcut $1 does not open $2"
  fi
}
# What tornix.exe shows when opened with ARGS (open_probe.exe's lines).
opened() {  # PROGRAM ARGS...
  "$probe_loader" "$probe" "$@" 2>&1 | tr -d '\r'
}

local_app_data="$("$wine" cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')"
app_data="$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')"
desktop="$(unix "$("$wine" cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')\\Desktop")"
start_menu="$(unix "$app_data\\Microsoft\\Windows\\Start Menu\\Programs")"
user_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tornix'
machine_key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tornix'
user_folder="$local_app_data\\Programs\\Tornix 全角 转换"
path_before="$(reg_get 'HKEY_CURRENT_USER\Environment' Path)"
# Text files' default program, as Windows has it (Wine has none).
"$wine" reg add 'HKEY_LOCAL_MACHINE\Software\Classes\.txt' /ve /d txtfile /f >/dev/null 2>&1

# The zip's programs, and an older setup of them to upgrade from.
mkdir -p "$work/zip/Tornix 便携 版" "$work/old"
unzip -q "$zip" -d "$work/zip/Tornix 便携 版" || fail "the zip does not unpack"
[ "$(cd "$work/zip/Tornix 便携 版" && ls | tr '\n' ' ')" = "LICENSE.txt README.txt tornix-convert.exe tornix.exe " ] ||
  fail "the zip holds: $(ls "$work/zip/Tornix 便携 版" | tr '\n' ' ')"
cp "$work/zip/Tornix 便携 版"/{tornix.exe,tornix-convert.exe,LICENSE.txt} "$work/old/"
here="$(cd "$(dirname "$0")/../.." && pwd)"
makensis -INPUTCHARSET UTF8 -V1 -DVERSION=1.0.0.0 -DPROGRAMS="$work/old" -DOUTFILE="$work/old/setup-1.0.0.0.exe" \
  -DICON="$here/src/res/icon/tornix.ico" "$here/packaging/windows/tornix.nsi" || fail "the older setup cannot be made"

step "per user: the older setup, then this one over it"
run "$(windows "$work/old/setup-1.0.0.0.exe") /S /DesktopShortcut /AddToPath /D=$user_folder" ||
  fail "the older setup failed"
expect_value "$user_key" DisplayVersion 1.0.0.0
run "$(windows "$setup") /S" || fail "the setup failed over the older one"
folder="$(unix "$user_folder")"
expect_value "$user_key" DisplayVersion "$version"
expect_value "$user_key" InstallLocation "$user_folder"
entries="$("$wine" reg query 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null |
  tr -d '\r' | grep -ci 'tornix')"
[ "$entries" = 1 ] || fail "$entries Apps & features entries after the upgrade, not 1"
reg_key_exists "$machine_key" && fail "a per-user install wrote an entry for all users"

step "per user: files, shortcuts, entry, Open with, PATH"
for file in tornix.exe tornix-convert.exe LICENSE.txt; do
  cmp -s "$folder/$file" "$work/zip/Tornix 便携 版/$file" || fail "$file installed is not the zip's"
done
[ -f "$folder/uninstall.exe" ] || fail "no uninstall.exe"
shortcut_opens "$start_menu/Tornix.lnk" "$user_folder\\tornix.exe"
shortcut_opens "$desktop/Tornix.lnk" "$user_folder\\tornix.exe"
expect_value "$user_key" DisplayName "Tornix 全角/半角转换"
expect_value "$user_key" Publisher "The Tornix developers"
expect_value "$user_key" DisplayIcon "\"$user_folder\\tornix.exe\",0"
expect_value "$user_key" UninstallString "\"$user_folder\\uninstall.exe\""
expect_value "$user_key" QuietUninstallString "\"$user_folder\\uninstall.exe\" /S"
size="$(reg_get "$user_key" EstimatedSize)"
[ -n "$size" ] && [ $((size)) -gt 1000 ] || fail "EstimatedSize is '$size' (KiB)"
command="\"$user_folder\\tornix.exe\" \"%1\""
expect_value 'HKEY_CURRENT_USER\Software\Classes\Tornix.TextFile\shell\open\command' @ "$command"
expect_value 'HKEY_CURRENT_USER\Software\Classes\Applications\tornix.exe\shell\open\command' @ "$command"
expect_value 'HKEY_CURRENT_USER\Software\Classes\.txt\OpenWithProgids' Tornix.TextFile ""
expect_value 'HKEY_CLASSES_ROOT\.txt' @ txtfile
expect_value 'HKEY_LOCAL_MACHINE\Software\Classes\.txt' @ txtfile
expect_value 'HKEY_CURRENT_USER\Environment' Path "${path_before:+$path_before;}$user_folder"

step "per user: the installed programs"
mkdir -p "$work/文档 目录"
printf '中文 Hello, World!' | iconv -f UTF-8 -t GBK >"$work/文档 目录/笔记 一.txt"
printf 'a\0b\0' >"$work/文档 目录/zeros.txt"
notes="$(windows "$work/文档 目录/笔记 一.txt")"
for case in "input: 中文 Hello, World!|$notes|$(windows "$work/文档 目录/zeros.txt")" \
  "message: 文件不存在！|$(windows "$work/文档 目录/缺少.txt")" \
  "message: 文件不存在！|$(windows "$work/文档 目录")" \
  "message: 文件中含有空字符，不能作为文本读取！|$(windows "$work/文档 目录/zeros.txt")"; do
  IFS='|' read -r -a parts <<<"$case"
  seen="$(opened "$user_folder\\tornix.exe" "${parts[@]:1}")"
  grep -qx 'window: shown' <<<"$seen" || fail "tornix.exe ${parts[*]:1}: no window ($seen)"
  grep -qxF "${parts[0]}" <<<"$seen" || fail "tornix.exe ${parts[*]:1}: not '${parts[0]}' but: $seen"
  case "${parts[0]}" in message:*) grep -qx 'input: ' <<<"$seen" || fail "the window behind the message is not empty" ;; esac
  grep -qx 'exit: 0' <<<"$seen" || fail "tornix.exe ${parts[*]:1} did not end cleanly ($seen)"
done
"$wine" "$folder/tornix-convert.exe" --to-full "$notes" >"$work/converted.txt" 2>&1 || fail "tornix-convert.exe failed"
"$linux_convert" --to-full "$work/文档 目录/笔记 一.txt" >"$work/expected.txt"
cmp -s "$work/converted.txt" "$work/expected.txt" || fail "the installed tornix-convert.exe converts otherwise"

step "per user: uninstall while tornix.exe runs"
"$wine" "$folder/tornix.exe" & running=$!
timeout 20 xdotool search --sync --name '^Qelvar' >/dev/null 2>&1 || sleep 5
# In place (_?=, unquoted), so that its status is the uninstall's own.
printf '@echo off\r\n"%s\\uninstall.exe" /S _?=%s\r\nexit /b %%errorlevel%%\r\n' "$user_folder" "$user_folder" |
  iconv -f UTF-8 -t GBK >"$work/uninstall.bat"
"$wine" cmd /c "$(windows "$work/uninstall.bat")" >/dev/null 2>&1
status=$?
[ "$status" != 0 ] || fail "the uninstall went on while tornix.exe ran"
for file in tornix.exe tornix-convert.exe LICENSE.txt uninstall.exe; do
  [ -f "$folder/$file" ] || fail "the stopped uninstall removed $file"
done
[ -f "$start_menu/Tornix.lnk" ] && reg_key_exists "$user_key" || fail "the stopped uninstall removed its entries"
kill "$running" 2>/dev/null
wait "$running" 2>/dev/null

step "per user: silent uninstall"
printf 'mine' >"$folder/我的笔记.txt"
run "$(reg_get "$user_key" QuietUninstallString)" || fail "the silent uninstall failed"
[ "$(ls -A "$folder")" = "我的笔记.txt" ] || fail "the folder holds after the uninstall: $(ls -A "$folder" | tr '\n' ' ')"
[ -e "$start_menu/Tornix.lnk" ] && fail "the Start-menu shortcut is left"
[ -e "$desktop/Tornix.lnk" ] && fail "the desktop shortcut is left"
for key in "$user_key" 'HKEY_CURRENT_USER\Software\Classes\Tornix.TextFile' \
  'HKEY_CURRENT_USER\Software\Classes\Applications\tornix.exe' 'HKEY_CURRENT_USER\Software\Classes\.txt'; do
  reg_key_exists "$key" && fail "$key is left"
done
expect_value 'HKEY_CLASSES_ROOT\.txt' @ txtfile
[ "$(reg_get 'HKEY_CURRENT_USER\Environment' Path)" = "$path_before" ] ||
  fail "PATH is '$(reg_get 'HKEY_CURRENT_USER\Environment' Path)' after the uninstall, not '$path_before'"
rm -rf "$folder"

step "all users: into Program Files, twice"
machine_folder='C:\Program Files\Tornix 全角'
for round in 1 2; do
  run "$(windows "$setup") /S /AllUsers /D=$machine_folder" || fail "the setup for all users failed (run $round)"
done
folder="$(unix "$machine_folder")"
expect_value "$machine_key" InstallLocation "$machine_folder"
expect_value "$machine_key" DisplayVersion "$version"
expect_value "$machine_key" QuietUninstallString "\"$machine_folder\\uninstall.exe\" /S"
expect_value 'HKEY_LOCAL_MACHINE\Software\Classes\Applications\tornix.exe\shell\open\command' @ \
  "\"$machine_folder\\tornix.exe\" \"%1\""
reg_key_exists "$user_key" && fail "an install for all users wrote an entry for the user"
common_menu="$(unix "$("$wine" cmd /c echo %ProgramData% 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs")"
shortcut_opens "$common_menu/Tornix.lnk" "$machine_folder\\tornix.exe"
seen="$(opened "$machine_folder\\tornix.exe" "$notes")"
grep -qxF 'input: 中文 Hello, World!' <<<"$seen" || fail "tornix.exe for all users with a file: $seen"
run "$(reg_get "$machine_key" QuietUninstallString)" || fail "the silent uninstall for all users failed"
[ -e "$folder" ] && fail "the folder is left after the uninstall for all users: $(ls -A "$folder" | tr '\n' ' ')"
[ -e "$common_menu/Tornix.lnk" ] && fail "the common Start-menu shortcut is left"
reg_key_exists "$machine_key" && fail "the entry for all users is left"
reg_key_exists 'HKEY_LOCAL_MACHINE\Software\Classes\Tornix.TextFile' && fail "the program id for all users is left"

step "the zip, unpacked into a folder with Chinese characters and spaces"
portable="$(windows "$work/zip/Tornix 便携 版")"
seen="$(opened "$portable\\tornix.exe" "$notes")"
grep -qxF 'input: 中文 Hello, World!' <<<"$seen" || fail "the zip's tornix.exe with a file: $seen"
"$wine" "$work/zip/Tornix 便携 版/tornix-convert.exe" --to-full "$notes" >"$work/converted.txt" 2>&1
cmp -s "$work/converted.txt" "$work/expected.txt" || fail "the zip's tornix-convert.exe converts otherwise"
head -c 3 "$work/zip/Tornix 便携 版/README.txt" | cmp -s - <(printf '\xef\xbb\xbf') || fail "README.txt has no UTF-8 mark"

if [ "$failures" -ne 0 ]; then
  echo "release-test: $failures failures"
  exit 1
fi
echo "release-test: the setup and the zip of Tornix $version install, run, upgrade and uninstall as they should"
