#!/usr/bin/env bash
# cli-compare.sh LINUX_PROGRAM WINE_LOADER EXE...: runs the Linux tornix-convert
# and each Windows tornix-convert.exe (under Wine) on the same inputs and
# checks that they agree: the same output bytes, in standard output or in the
# -o file, also on every vector tier (TORNIX_SIMD); the same exit statuses; the same messages where no system text is
# part of them; the help in code page 936 where Linux gives UTF-8 (Wine runs
# with the Chinese (PRC) code pages). Inputs come from files, from a
# redirection and through a pipe, under Chinese file names. Prints each
# disagreement and exits 1 when there is any.
set -uo pipefail
linux="$1" loader="$2"
shift 2
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "$*"
  failures=$((failures + 1))
}

# A Windows path for a file under $work: Wine maps / to drive Z:.
win() { echo "Z:$work/$1"; }

# A code page 936 document with everything that the conversions and the
# streams must carry: ASCII and its full-width forms, Chinese, white space
# runs, CR LF, lone CR and LF, Ctrl+Z, NUL, lone lead bytes, 0x80 and 0xFF,
# GB18030 four-byte forms; then bytes at random. Fixed seed.
LC_ALL=C awk 'BEGIN {
  srand(20261209)
  n = split("\326\320\316\304| |   |abc|\241\241|\243\301|\241\243|.|/|\r\n|\n|\r|\201 |\t|Hello, World!|\243\257|      |\032|\200|\377|\2249\3746|\241\261|~|\243\376", piece, "|")
  for (i = 0; i < 120000; ++i) printf "%s", piece[int(rand() * n) + 1]
  for (i = 0; i < 200000; ++i) printf "%c", int(rand() * 256)
  printf "%c", 0
  printf "  \t\r\n"
}' >"$work/文档.txt"
# The same in UTF-8, valid throughout, for the UTF-8 kernels.
LC_ALL=C awk 'BEGIN {
  srand(20261210)
  n = split("中文|　|   |abc|Ａ|。|.|/|／|\r\n|\n|Hello, World!|～|~|😀|한|      |，", piece, "|")
  for (i = 0; i < 150000; ++i) printf "%s", piece[int(rand() * n) + 1]
}' >"$work/utf8.txt"
printf ' \xa1\xa1 first part,\r\n' >"$work/头.txt"
printf '\xa3\xc1 last part\xa1\xa1  \n' >"$work/尾.txt"
printf 'from standard input \xa3\xa1\r\n' >"$work/stdin.txt"
# Big5: the encoding vector, and the codes where the platforms' tables could
# differ (中, 0xFF, 0x80, ═ as iconv writes it, a user-defined code).
cp "$(dirname "$0")/../data/encodings/big5.txt" "$work/big5.txt"
printf '\xa4\xa4\xff\x80\xa2\xa4\x81\x40 x\n' >"$work/big5-edges.txt"

# run NAME ARGS...: runs both programs with the same arguments ("@FILE" is
# the file's path in each one's form), standard input from stdin.txt; keeps
# standard output, standard error and the exit status.
run() {
  local name="$1" program="$2"
  shift 2
  local args=() arg
  for arg in "$@"; do
    case "$arg" in
      @*) if [ "$program" = linux ]; then args+=("$work/${arg#@}"); else args+=("$(win "${arg#@}")"); fi ;;
      *) args+=("$arg") ;;
    esac
  done
  if [ "$program" = linux ]; then
    "$linux" "${args[@]}" <"$work/stdin.txt" >"$work/$name.out" 2>"$work/$name.err"
  else
    "$loader" "$program" "${args[@]}" <"$work/stdin.txt" >"$work/$name.out" 2>"$work/$name.err"
  fi
  echo $? >"$work/$name.status"
}

same() {  # same WHAT A B
  cmp -s "$work/$2" "$work/$3" || fail "$exe: $1 differs ($2, $3)"
}

for exe in "$@"; do
  # Each case: the exit status it must give, then the arguments.
  for case in "0 --to-full @文档.txt" "0 --to-half @文档.txt" "0 --to-full --trim @头.txt - @尾.txt" \
    "0 --to-half --trim @文档.txt" "0 --version" "2 --to-full --frobnicate" "2 --to-half -o" \
    "1 --to-half @缺少.txt" "0 --to-full -e big5 @big5.txt" "0 --to-half -e big5 --output-encoding utf-8 @big5.txt" \
    "0 --to-full -e big5 @big5-edges.txt" "0 --to-half -e big5 --output-encoding utf-8 @big5-edges.txt" \
    "0 --to-half -e big5 @文档.txt" "0 --to-full --only punctuation --context @文档.txt" \
    "0 --to-half --keep-chinese-punctuation --table unicode @utf8.txt" "0 --to-half --keep Ａ，。 @utf8.txt" \
    "2 --to-full --only kana"; do
    expected="${case%% *}" args="${case#* }"
    read -r -a list <<<"$args"
    run linux linux "${list[@]}"
    run windows "$exe" "${list[@]}"
    [ "$(cat "$work/linux.status")" = "$expected" ] || fail "the Linux program gave '$args' another status"
    same "standard output of '$args'" linux.out windows.out
    same "exit status of '$args'" linux.status windows.status
    case "$args" in
      *@缺少.txt)
        grep -q "^tornix-convert: cannot read 'Z:$work/缺少.txt': " "$work/windows.err" ||
          fail "$exe: no message naming the missing file: $(cat "$work/windows.err")" ;;
      *) same "standard error of '$args'" linux.err windows.err ;;
    esac
  done

  # -o under a Chinese name, replacing an existing file.
  printf 'old' >"$work/输出-linux.txt"
  printf 'old' >"$work/输出-windows.txt"
  run linux linux --to-full -o @输出-linux.txt @文档.txt
  run windows "$exe" --to-full -o @输出-windows.txt @文档.txt
  same "the -o file" 输出-linux.txt 输出-windows.txt
  [ -s "$work/windows.out" ] && fail "$exe: -o also wrote to standard output"
  same "exit status of -o" linux.status windows.status

  # -o through a Unix link, which Wine shows as a plain file: the file it leads
  # to gets the output, the link stays.
  printf 'old' >"$work/链接目标.txt"
  ln -sf 链接目标.txt "$work/链接.txt"
  run windows "$exe" --to-full -o @链接.txt @文档.txt
  [ -L "$work/链接.txt" ] || fail "$exe: -o replaced the link with a file"
  same "the -o file through a link" 输出-linux.txt 链接目标.txt

  # Standard input through a pipe, not a file.
  "$linux" --to-half <"$work/文档.txt" >"$work/linux.out"
  cat "$work/文档.txt" | "$loader" "$exe" --to-half >"$work/windows.out"
  same "the output of a pipe" linux.out windows.out

  # The help: the same text, in code page 936 on a Chinese Windows.
  "$linux" --help | iconv -f UTF-8 -t GBK >"$work/linux.out"
  "$loader" "$exe" --help >"$work/windows.out"
  same "the help" linux.out windows.out

  # Every vector tier (TORNIX_SIMD) gives the Linux program's bytes, in code
  # page 936 and in UTF-8.
  for document in 文档.txt utf8.txt; do
    for direction in --to-full --to-half; do
      "$linux" "$direction" "$work/$document" >"$work/linux.out"
      for tier in avx512 avx2 ssse3 sse2 scalar; do
        TORNIX_SIMD=$tier "$loader" "$exe" "$direction" "$(win "$document")" >"$work/windows.out"
        same "$direction of $document with TORNIX_SIMD=$tier" linux.out windows.out
      done
    done
  done

  # A reader that goes away: a quiet end with the same status.
  "$loader" "$exe" --to-full "$(win 文档.txt)" 2>"$work/windows.err" | head -c 10 >/dev/null
  status="${PIPESTATUS[0]}"
  [ "$status" = 141 ] || fail "$exe: a reader going away gave status $status, not 141"
  [ -s "$work/windows.err" ] && fail "$exe: a reader going away gave a message: $(cat "$work/windows.err")"
done

if [ "$failures" -ne 0 ]; then
  echo "cli-compare: $failures disagreements"
  exit 1
fi
echo "cli-compare: $# Windows programs agree with the Linux one"
