// The 64-byte vocabulary of processors with AVX-512 BW: the names of sse2.h
// where they mean the same, except that a comparison gives a mask register
// (bit n for byte n) rather than a vector, as the 64-byte kernels use them
// with masked moves, permutes and compresses. Included by files compiled with
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
};

}  // namespace
}  // namespace tornix::simd
