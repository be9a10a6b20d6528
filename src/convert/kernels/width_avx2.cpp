// The 32-byte kernels for processors with AVX2 (Intel since 2013, AMD since
// 2015): the block conversions of width_blocks.h on 32-byte vectors, whose
// shuffles work within each 16-byte half, so the tables repeat in both halves
// and the bytes that stay are packed eight at a time as in the SSSE3 kernels.
// Compiled with -mavx2 -mbmi -mbmi2 -mpopcnt; no PDEP or PEXT, which are slow
// on the AMD processors before Zen 3.
#include <immintrin.h>

#include <cstdint>

#include "simd/avx2.h"
#include "utf8_policy_blocks.h"
#include "width_blocks.h"
#include "width_kernels.h"

namespace tornix::kernels {

namespace {

// The AVX2 vocabulary with the width kernels' own operations (width_blocks.h).
struct Avx2Width : simd::Avx2 {
    static constexpr bool kFormsByTable = false;

    static void FullForms(Vec block, Vec& lead, Vec& trail, const FullSpecials& specials = kFullSpecialForms) {
        FullFormsByHalves<Avx2Width>(block, lead, trail, specials);
    }
    static Vec RowsUnderA3(Vec trail) { return RowsUnderA3ByHalves<Avx2Width>(trail); }
    static void A1HalfForms(Vec trail, Vec& rowA1, Vec& result, Vec& counts, const A1FormsByNibble& forms = kA1Forms) {
        A1HalfFormsByHalves<Avx2Width>(trail, rowA1, result, counts, forms);
    }
    static Converting Classify(Vec bytes, std::uint64_t candidates, const ConvertSets& sets, bool context) {
        return ClassifyByHalves<Avx2Width>(bytes, candidates, sets, context);
    }

    // Four bytes a shuffle, as in the SSSE3 kernels.
    static void WriteCounted(Vec bytes, Vec counts, char*& out) {
        alignas(32) std::uint32_t index[8];
        _mm256_store_si256(
            reinterpret_cast<__m256i*>(index),
            _mm256_madd_epi16(_mm256_maddubs_epi16(counts, _mm256_set1_epi16(0x0401)), _mm256_set1_epi32(0x00100001)));
        const __m128i halves[2] = {_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)};
        for (unsigned group = 0; group < 8; ++group) {
            const std::uint8_t* control = kCounted.control[group % 4][index[group]];
            Store16(out,
                    _mm_shuffle_epi8(halves[group / 4], _mm_loadu_si128(reinterpret_cast<const __m128i*>(control))));
            out += control[15];
        }
    }

    static __m128i Shuffle(__m128i bytes, const std::uint8_t (&control)[16]) {
        return _mm_shuffle_epi8(bytes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(control)));
    }
    static void Store16(char* to, __m128i bytes) { _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes); }

    static void WritePacked(Vec bytes, std::uint64_t keep, char*& out) {
        const __m128i halves[2] = {_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)};
        for (unsigned group = 0; group < 4; ++group) {
            const unsigned mask = (keep >> (8 * group)) & 0xFF;
            Store16(out, Shuffle(halves[group / 2], kPack.control[group % 2][mask]));
            out += kPack.kept[mask];
        }
    }

    // Four lanes a shuffle, as in the SSSE3 kernels; the unpacks work within
    // each 16-byte half, so the quads of lanes 0..15 come from the low halves.
    static void WriteTriples(Vec first, Vec second, Vec third, std::uint64_t keep, std::uint64_t wide, char*& out) {
        const Vec zero = _mm256_setzero_si256();
        const Vec pairsLow = _mm256_unpacklo_epi8(first, second);  // lanes 0..7 and 16..23
        const Vec pairsHigh = _mm256_unpackhi_epi8(first, second);
        const Vec thirdsLow = _mm256_unpacklo_epi8(third, zero);
        const Vec thirdsHigh = _mm256_unpackhi_epi8(third, zero);
        const Vec quads[4] = {_mm256_unpacklo_epi16(pairsLow, thirdsLow), _mm256_unpackhi_epi16(pairsLow, thirdsLow),
                              _mm256_unpacklo_epi16(pairsHigh, thirdsHigh),
                              _mm256_unpackhi_epi16(pairsHigh, thirdsHigh)};
        for (unsigned quad = 0; quad < 8; ++quad) {
            const __m128i lanes =
                quad < 4 ? _mm256_castsi256_si128(quads[quad]) : _mm256_extracti128_si256(quads[quad - 4], 1);
            const unsigned index = ((keep >> (4 * quad)) & 0xF) | ((wide >> (4 * quad)) & 0xF) << 4;
            Store16(out, Shuffle(lanes, kTriples.control[index]));
            out += kTriples.length[index];
        }
    }

    static void WritePairs(Vec first, Vec second, std::uint64_t keepFirst, std::uint64_t keepSecond, bool onlySeconds,
                           char*& out) {
        // The pairs of bytes 0..7, 8..15, 16..23 and 24..31.
        const Vec low = _mm256_unpacklo_epi8(first, second);
        const Vec high = _mm256_unpackhi_epi8(first, second);
        const __m128i pairs[4] = {_mm256_castsi256_si128(low), _mm256_castsi256_si128(high),
                                  _mm256_extracti128_si256(low, 1), _mm256_extracti128_si256(high, 1)};
        if (onlySeconds) {  // one shuffle per eight pairs
            for (unsigned group = 0; group < 4; ++group) {
                const unsigned seconds = (keepSecond >> (8 * group)) & 0xFF;
                Store16(out, Shuffle(pairs[group], kCompact.control[~seconds & 0xFF]));
                out += CountBits8(keepFirst >> (8 * group)) + kPack.kept[seconds];
            }
            return;
        }
        const std::uint64_t keep = SpreadBits(keepFirst) | SpreadBits(keepSecond) << 1;
        for (unsigned quarter = 0; quarter < 8; ++quarter) {
            const unsigned mask = (keep >> (8 * quarter)) & 0xFF;
            Store16(out, Shuffle(pairs[quarter / 2], kPack.control[quarter % 2][mask]));
            out += kPack.kept[mask];
        }
    }
};

}  // namespace

char* ToFullWidthAvx2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = FullWidthBlocks<Avx2Width>(in, 0, size, out);
    return ToFullWidthScalar(in + i, size - i, out);
}

char* ToHalfWidthAvx2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = HalfWidthBlocks<Avx2Width>(in, 0, size, out);
    return ToHalfWidthScalar(in + i, size - i, out);
}

char* ToFullWidthUtf8Avx2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8FullWidthBlocks<Avx2Width>(in, 0, size, out);
    return ToFullWidthUtf8Scalar(in + i, size - i, out);
}

char* ToHalfWidthUtf8Avx2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8HalfWidthBlocks<Avx2Width>(in, 0, size, out);
    return ToHalfWidthUtf8Scalar(in + i, size - i, out);
}

std::size_t CountInRangeAvx2(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i + 32 <= size) {
        // Up to 255 blocks per round, so that no byte lane overflows.
        __m256i lanes = _mm256_setzero_si256();
        for (int block = 0; block < 255 && i + 32 <= size; ++block, i += 32) {
            lanes = _mm256_sub_epi8(lanes, simd::Avx2::InRange(simd::Avx2::Load(in + i), low, span));
        }
        const __m256i sums = _mm256_sad_epu8(lanes, _mm256_setzero_si256());
        const __m128i pairs = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
        count += static_cast<std::size_t>(_mm_cvtsi128_si64(pairs)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(pairs, pairs)));
    }
    return count + CountInRangeScalar(in + i, size - i, low, span);
}

char* ToFullWidthPolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextEdges edges) {
    return BlocksThenTail<PolicyFullWidthBlocks<Avx2Width>, ToFullWidthPolicyTail>(in, size, out, policy, edges);
}

char* ToHalfWidthPolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                            ContextEdges edges) {
    return BlocksThenTail<PolicyHalfWidthBlocks<Avx2Width>, ToHalfWidthPolicyTail>(in, size, out, policy, edges);
}

char* ToFullWidthUtf8PolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextEdges edges) {
    return BlocksThenTail<PolicyUtf8FullWidthBlocks<Avx2Width>, ToFullWidthUtf8PolicyTail>(in, size, out, policy,
                                                                                           edges);
}

char* ToHalfWidthUtf8PolicyAvx2(const unsigned char* in, std::size_t size, char* out, const PolicyTables& policy,
                                ContextEdges edges) {
    return BlocksThenTail<PolicyUtf8HalfWidthBlocks<Avx2Width>, ToHalfWidthUtf8PolicyTail>(in, size, out, policy,
                                                                                           edges);
}

extern const KernelTable kAvx2Kernels = {
    ToFullWidthAvx2,       ToHalfWidthAvx2,           ToFullWidthUtf8Avx2,
    ToHalfWidthUtf8Avx2,   CountInRangeAvx2,          ToFullWidthPolicyAvx2,
    ToHalfWidthPolicyAvx2, ToFullWidthUtf8PolicyAvx2, ToHalfWidthUtf8PolicyAvx2,
};

}  // namespace tornix::kernels
