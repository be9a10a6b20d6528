// The 16-byte vocabulary of processors with SSSE3: SSE2's (sse2.h), with the
// byte shuffle that looks bytes up in 16-entry tables and joins two vectors.
// Included by files compiled with -mssse3 only.
#pragma once

#include <tmmintrin.h>

#include <cstdint>

#include "simd/sse2.h"

namespace tornix::simd {
namespace {

struct Ssse3 : Sse2 {
    static Vec Table(const std::uint8_t (&entries)[16]) { return Load(entries); }
    static Vec Lookup(Vec table, Vec index) { return _mm_shuffle_epi8(table, index); }
    static Vec Lookup(const std::uint8_t (&table)[16], Vec index) { return Lookup(Table(table), index); }
    static Vec HighHalves(Vec bytes) { return And(_mm_srli_epi16(bytes, 4), Splat(0x0F)); }
    static Vec FromBits(std::uint64_t bits) {
        const Vec spread = _mm_shuffle_epi8(_mm_cvtsi32_si128(static_cast<int>(bits & 0xFFFF)),
                                            _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1));
        const Vec bit = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
        return _mm_cmpeq_epi8(_mm_and_si128(spread, bit), bit);
    }
    template <int N>
    static Vec Earlier(Vec block, Vec before) {
        return _mm_alignr_epi8(block, before, 16 - N);
    }
};

}  // namespace
}  // namespace tornix::simd
