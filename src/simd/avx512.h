// The 64-byte vocabulary of processors with AVX-512 BW: the names of sse2.h
// where they mean the same, except that a comparison gives a mask register
// (bit n for byte n) rather than a vector, as the 64-byte kernels use them
// with masked moves, permutes and compresses; and the lane-wise lookups of
// ssse3.h and avx2.h for the UTF-8 check. Included by files compiled with
// -mavx512f -mavx512bw and wider only.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace tornix::simd {
namespace {

struct Avx512 {
    using Vec = __m512i;
    using Mask = std::uint64_t;
    static constexpr unsigned kWidth = 64;

    static Vec Load(const void* from) { return _mm512_loadu_si512(from); }
    static void Store(void* to, Vec bytes) { _mm512_storeu_si512(to, bytes); }
    static Vec Splat(unsigned char byte) { return _mm512_set1_epi8(static_cast<char>(byte)); }
    static Mask Equal(Vec bytes, unsigned char byte) { return _mm512_cmpeq_epi8_mask(bytes, Splat(byte)); }
    static Mask InRange(Vec bytes, unsigned char low, unsigned char span) {
        return _mm512_cmple_epu8_mask(_mm512_sub_epi8(bytes, Splat(low)), Splat(span));
    }
    static Mask Bits(Vec bytes) { return _mm512_movepi8_mask(bytes); }

    // The vector operations the UTF-8 check is written in (utf8_check_blocks.h).
    static Vec Zero() { return _mm512_setzero_si512(); }
    static Vec And(Vec a, Vec b) { return _mm512_and_si512(a, b); }
    static Vec Or(Vec a, Vec b) { return _mm512_or_si512(a, b); }
    static Vec Xor(Vec a, Vec b) { return _mm512_xor_si512(a, b); }
    static Vec SubtractSaturated(Vec a, unsigned char byte) { return _mm512_subs_epu8(a, Splat(byte)); }
    static bool AllZero(Vec a) { return _mm512_test_epi64_mask(a, a) == 0; }
    static Vec LowHalves(Vec bytes) { return And(bytes, Splat(0x0F)); }
    static Vec HighHalves(Vec bytes) { return And(_mm512_srli_epi16(bytes, 4), Splat(0x0F)); }
    // A table of sixteen in each 16-byte lane (the masked form: GCC 12 warns
    // about the unmasked one), looked up within each lane.
    static Vec Table(const std::uint8_t (&entries)[16]) {
        return _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(entries)));
    }
    static Vec Lookup(Vec table, Vec index) { return _mm512_shuffle_epi8(table, index); }
    // Byte n - N of `block` (of `before`'s end for the first N): each lane
    // joined with the lane before it, then shifted (the masked form, as above).
    template <int N>
    static Vec Earlier(Vec block, Vec before) {
        return _mm512_alignr_epi8(block, _mm512_maskz_alignr_epi64(0xFF, block, before, 6), 16 - N);
    }
};

}  // namespace
}  // namespace tornix::simd
