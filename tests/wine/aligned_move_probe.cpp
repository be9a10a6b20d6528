// A program holding an aligned 32-byte move, for the test that
// check-vector-moves.sh finds one. Never run. The instruction is given as
// bytes, so that the assembler cannot make it an unaligned one.
int main() {
    // vmovdqa %ymm0, (%rax)
    asm volatile(".byte 0xc5, 0xfd, 0x7f, 0x00");
    return 0;
}
