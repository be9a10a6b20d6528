// The 16-byte kernels for processors with SSSE3: the special forms looked up
// by byte shuffles from the two halves of each byte, and the bytes that stay
// packed by shuffles from tables, eight at a time. Compiled with -mssse3.
#include <cstdint>

#include "simd/ssse3.h"
#include "utf8_policy_blocks.h"
#include "width_blocks.h"
#include "width_kernels.h"

namespace tornix::kernels {

namespace {

// The SSSE3 vocabulary with the width kernels' own operations (width_blocks.h).
struct Ssse3Width : simd::Ssse3 {
    static constexpr bool kFormsByTable = false;

    static void FullForms(Vec block, Vec& lead, Vec& trail, const FullSpecials& specials = kFullSpecialForms) {
        FullFormsByHalves<Ssse3Width>(block, lead, trail, specials);
    }
    static Vec RowsUnderA3(Vec trail) { return RowsUnderA3ByHalves<Ssse3Width>(trail); }
    static void A1HalfForms(Vec trail, Vec& rowA1, Vec& result, Vec& counts, const A1FormsByNibble& forms = kA1Forms) {
        A1HalfFormsByHalves<Ssse3Width>(trail, rowA1, result, counts, forms);
    }
    static Converting Classify(Vec bytes, std::uint64_t candidates, const ConvertSets& sets, bool context) {
        return ClassifyByHalves<Ssse3Width>(bytes, candidates, sets, context);
    }

    // Four bytes a shuffle, each written as many times as its count says:
    // the four counts of each group make one index, two bits each.
    static void WriteCounted(Vec bytes, Vec counts, char*& out) {
        alignas(16) std::uint32_t index[4];
        Store(index, _mm_madd_epi16(_mm_maddubs_epi16(counts, _mm_set1_epi16(0x0401)), _mm_set1_epi32(0x00100001)));
        for (unsigned group = 0; group < 4; ++group) {
            const std::uint8_t* control = kCounted.control[group][index[group]];
            Store(out, _mm_shuffle_epi8(bytes, Load(control)));
            out += control[15];
        }
    }

    static void WritePacked(Vec bytes, std::uint64_t keep, char*& out) {
        for (unsigned half = 0; half < 2; ++half) {
            const unsigned mask = (keep >> (8 * half)) & 0xFF;
            Store(out, _mm_shuffle_epi8(bytes, Load(kPack.control[half][mask])));
            out += kPack.kept[mask];
        }
    }

    // Four lanes a shuffle: each lane's three bytes laid out in four.
    static void WriteTriples(Vec first, Vec second, Vec third, std::uint64_t keep, std::uint64_t wide, char*& out) {
        const Vec zero = _mm_setzero_si128();
        const Vec pairs[2] = {_mm_unpacklo_epi8(first, second), _mm_unpackhi_epi8(first, second)};
        const Vec thirds[2] = {_mm_unpacklo_epi8(third, zero), _mm_unpackhi_epi8(third, zero)};
        const Vec quads[4] = {_mm_unpacklo_epi16(pairs[0], thirds[0]), _mm_unpackhi_epi16(pairs[0], thirds[0]),
                              _mm_unpacklo_epi16(pairs[1], thirds[1]), _mm_unpackhi_epi16(pairs[1], thirds[1])};
        for (unsigned quad = 0; quad < 4; ++quad) {
            const unsigned index = ((keep >> (4 * quad)) & 0xF) | ((wide >> (4 * quad)) & 0xF) << 4;
            Store(out, _mm_shuffle_epi8(quads[quad], Load(kTriples.control[index])));
            out += kTriples.length[index];
        }
    }

    static void WritePairs(Vec first, Vec second, std::uint64_t keepFirst, std::uint64_t keepSecond, bool onlySeconds,
                           char*& out) {
        const Vec pairs[2] = {_mm_unpacklo_epi8(first, second), _mm_unpackhi_epi8(first, second)};
        if (onlySeconds) {  // one shuffle per eight pairs
            for (unsigned group = 0; group < 2; ++group) {
                const unsigned seconds = (keepSecond >> (8 * group)) & 0xFF;
                Store(out, _mm_shuffle_epi8(pairs[group], Load(kCompact.control[~seconds & 0xFF])));
                out += CountBits8(keepFirst >> (8 * group)) + kPack.kept[seconds];
            }
            return;
        }
        const std::uint64_t keep = SpreadBits(keepFirst) | SpreadBits(keepSecond) << 1;
        for (unsigned quarter = 0; quarter < 4; ++quarter) {
            const unsigned mask = (keep >> (8 * quarter)) & 0xFF;
            Store(out, _mm_shuffle_epi8(pairs[quarter / 2], Load(kPack.control[quarter % 2][mask])));
            out += kPack.kept[mask];
        }
    }
};

char* ToFullWidthSsse3(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = FullWidthBlocks<Ssse3Width>(in, 0, size, out);
    return ToFullWidthScalar(in + i, size - i, out);
}

char* ToHalfWidthSsse3(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = HalfWidthBlocks<Ssse3Width>(in, 0, size, out);
    return ToHalfWidthScalar(in + i, size - i, out);
}

char* ToFullWidthUtf8Ssse3(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8FullWidthBlocks<Ssse3Width>(in, 0, size, out);
    return ToFullWidthUtf8Scalar(in + i, size - i, out);
}

char* ToHalfWidthUtf8Ssse3(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8HalfWidthBlocks<Ssse3Width>(in, 0, size, out);
    return ToHalfWidthUtf8Scalar(in + i, size - i, out);
}

}  // namespace

extern const KernelTable kSsse3Kernels = {
    ToFullWidthSsse3,
    ToHalfWidthSsse3,
    ToFullWidthUtf8Ssse3,
    ToHalfWidthUtf8Ssse3,
    CountInRangeSse2,
    BlocksThenTail<PolicyFullWidthBlocks<Ssse3Width>, ToFullWidthPolicyTail>,
    BlocksThenTail<PolicyHalfWidthBlocks<Ssse3Width>, ToHalfWidthPolicyTail>,
    BlocksThenTail<PolicyUtf8FullWidthBlocks<Ssse3Width>, ToFullWidthUtf8PolicyTail>,
    BlocksThenTail<PolicyUtf8HalfWidthBlocks<Ssse3Width>, ToHalfWidthUtf8PolicyTail>,
};

}  // namespace tornix::kernels
