// The 16-byte vocabulary of processors with SSE2 (every x86-64 processor):
// the operations on byte vectors that the kernels of the program are written
// in, whatever the instruction set. ssse3.h and avx2.h give the same names
// for their vectors; a kernel written once as a template over a vocabulary
// (simd/utf8_check_blocks.h, convert/kernels/width_blocks.h) is instantiated
// in each instruction set's file, compiled with that set's flags.
//
//   Vec, kWidth                 the vector type and its width in bytes
//   Load, Store                 kWidth bytes, unaligned
//   Zero, Splat(byte)           every byte 0, or `byte`
//   Equal, InRange              0xFF where a byte equals, or lies in
//                               [low, low + span]; 0 elsewhere
//   And, Or, Xor, AndNot        bitwise; AndNot(a, b) is ~a & b
//   Add, Sub, SubtractSaturated byte by byte (the last one unsigned, down to 0)
//   Select(mask, a, b)          a where the mask is set, b elsewhere
//   Bits(mask), FromBits(bits)  bit n for byte n of a mask vector, and back
//   AllZero                     whether every byte is 0
//   LowHalves                   byte n: the low four bits of byte n
//   Earlier<N>(block, before)   the block shifted on by N bytes, the last N
//                               bytes of `before` in front
// and, with a byte shuffle (SSSE3 and wider):
//   Table(entries), Lookup(table, index)   byte n: entry index[n] (0 to 15)
//                                          of a 16-entry table
//   HighHalves                  byte n: the high four bits of byte n
//
// Every vocabulary lives in an anonymous namespace: each file that includes it
// gets its own copy, built with its own flags. (Inline functions with external
// linkage would be merged by the linker, and a copy built for AVX2 could end
// up in the SSE2 kernels.) For the same reason the kernel files use nothing
// from the standard library that the compiler might emit out of line.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace tornix::simd {
namespace {

struct Sse2 {
    using Vec = __m128i;
    static constexpr unsigned kWidth = 16;

    static Vec Load(const void* from) { return _mm_loadu_si128(static_cast<const __m128i*>(from)); }
    static void Store(void* to, Vec bytes) { _mm_storeu_si128(static_cast<__m128i*>(to), bytes); }
    static Vec Zero() { return _mm_setzero_si128(); }
    static Vec Splat(unsigned char byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static Vec Equal(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
    static Vec And(Vec a, Vec b) { return _mm_and_si128(a, b); }
    static Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static Vec Xor(Vec a, Vec b) { return _mm_xor_si128(a, b); }
    static Vec AndNot(Vec a, Vec b) { return _mm_andnot_si128(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm_add_epi8(a, b); }
    static Vec Sub(Vec a, Vec b) { return _mm_sub_epi8(a, b); }
    static Vec SubtractSaturated(Vec a, unsigned char byte) { return _mm_subs_epu8(a, Splat(byte)); }
    static Vec Select(Vec mask, Vec ifSet, Vec otherwise) {
        return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
    }
    static Vec InRange(Vec bytes, unsigned char low, unsigned char span) {
        const Vec offset = _mm_sub_epi8(bytes, Splat(low));
        return _mm_cmpeq_epi8(_mm_min_epu8(offset, Splat(span)), offset);
    }
    static std::uint64_t Bits(Vec mask) { return static_cast<unsigned>(_mm_movemask_epi8(mask)); }
    static Vec FromBits(std::uint64_t bits) {
        Vec spread = _mm_cvtsi32_si128(static_cast<int>(bits & 0xFFFF));
        spread = _mm_unpacklo_epi8(spread, spread);
        spread = _mm_unpacklo_epi16(spread, spread);
        spread = _mm_unpacklo_epi32(spread, spread);  // the low byte eight times, then the next
        const Vec bit = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
        return _mm_cmpeq_epi8(_mm_and_si128(spread, bit), bit);
    }
    static bool AllZero(Vec a) { return _mm_movemask_epi8(_mm_cmpeq_epi8(a, Zero())) == 0xFFFF; }
    static Vec LowHalves(Vec bytes) { return And(bytes, Splat(0x0F)); }
    template <int N>
    static Vec Earlier(Vec block, Vec before) {
        return _mm_or_si128(_mm_slli_si128(block, N), _mm_srli_si128(before, 16 - N));
    }
};

}  // namespace
}  // namespace tornix::simd
