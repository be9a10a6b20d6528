#!/usr/bin/env bash
# check-vector-moves.sh OBJDUMP EXE...: checks that no instruction in the
# programs needs a 32- or 64-byte aligned memory operand: no aligned or
# non-temporal move with a ymm or zmm register (vmovdqa, vmovdqa32/64,
# vmovaps, vmovapd, vmovntdq, vmovntdqa, vmovntps, vmovntpd). mingw-w64 GCC
# may place such a vector on a stack slot that is only 16-byte aligned (GCC
# bug 54412), where an aligned move faults; the x86-64 toolchain assembles
# every vector move unaligned (cmake/mingw-w64-x86_64.cmake). Prints each
# such instruction and exits 1 when there is any.
set -euo pipefail
objdump="$1"
shift
status=0
for exe in "$@"; do
  listing="$("$objdump" -d --no-show-raw-insn "$exe")"
  [ -n "$(grep -m 1 -E '^[[:space:]]+[0-9a-f]+:' <<<"$listing")" ] ||
    { echo "$exe: no instructions disassembled"; status=1; continue; }
  aligned="$(grep -E '[[:space:]]vmov(dqa(32|64)?|ap[sd]|nt(dqa?|p[sd]))[[:space:]].*%[yz]mm' <<<"$listing" || true)"
  if [ -n "$aligned" ]; then
    echo "$exe: $(wc -l <<<"$aligned") aligned vector moves with 32- or 64-byte registers, for example:"
    head -n 5 <<<"$aligned"
    status=1
  fi
done
exit $status
