// The 32-byte vocabulary of processors with AVX2 (Intel since 2013, AMD since
// 2015), with the names of sse2.h and ssse3.h. Its shuffles and byte shifts
// work within each 16-byte half: a table is looked up in both halves, and
// Earlier joins the halves first. Included by files compiled with -mavx2 only.
#pragma once

#include <immintrin.h>

#include <cstdint>

namespace tornix::simd {
namespace {

struct Avx2 {
    using Vec = __m256i;
    static constexpr unsigned kWidth = 32;

    static Vec Load(const void* from) { return _mm256_loadu_si256(static_cast<const __m256i*>(from)); }
    static void Store(void* to, Vec bytes) { _mm256_storeu_si256(static_cast<__m256i*>(to), bytes); }
    static Vec Zero() { return _mm256_setzero_si256(); }
    static Vec Splat(unsigned char byte) { return _mm256_set1_epi8(static_cast<char>(byte)); }
    static Vec Equal(Vec a, Vec b) { return _mm256_cmpeq_epi8(a, b); }
    static Vec And(Vec a, Vec b) { return _mm256_and_si256(a, b); }
    static Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    static Vec Xor(Vec a, Vec b) { return _mm256_xor_si256(a, b); }
    static Vec AndNot(Vec a, Vec b) { return _mm256_andnot_si256(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm256_add_epi8(a, b); }
    static Vec Sub(Vec a, Vec b) { return _mm256_sub_epi8(a, b); }
    static Vec SubtractSaturated(Vec a, unsigned char byte) { return _mm256_subs_epu8(a, Splat(byte)); }
    static Vec Select(Vec mask, Vec ifSet, Vec otherwise) { return _mm256_blendv_epi8(otherwise, ifSet, mask); }
    static Vec InRange(Vec bytes, unsigned char low, unsigned char span) {
        const Vec offset = _mm256_sub_epi8(bytes, Splat(low));
        return _mm256_cmpeq_epi8(_mm256_min_epu8(offset, Splat(span)), offset);
    }
    static std::uint64_t Bits(Vec mask) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(mask)); }
    static Vec FromBits(std::uint64_t bits) {
        const Vec spread = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(bits & 0xFFFFFFFFu)),
                                               _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,  //
                                                                2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3));
        const Vec bit = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201u));
        return _mm256_cmpeq_epi8(_mm256_and_si256(spread, bit), bit);
    }
    static bool AllZero(Vec a) { return _mm256_testz_si256(a, a) != 0; }
    static Vec LowHalves(Vec bytes) { return And(bytes, Splat(0x0F)); }
    static Vec HighHalves(Vec bytes) { return And(_mm256_srli_epi16(bytes, 4), Splat(0x0F)); }
    static Vec Table(const std::uint8_t (&entries)[16]) {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(entries)));
    }
    static Vec Lookup(Vec table, Vec index) { return _mm256_shuffle_epi8(table, index); }
    static Vec Lookup(const std::uint8_t (&table)[16], Vec index) { return Lookup(Table(table), index); }
    template <int N>
    static Vec Earlier(Vec block, Vec before) {
        return _mm256_alignr_epi8(block, _mm256_permute2x128_si256(before, block, 0x21), 16 - N);
    }
};

}  // namespace
}  // namespace tornix::simd
