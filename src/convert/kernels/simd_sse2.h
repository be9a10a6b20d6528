// The 16-byte vector type of the SSE2 kernels, for the block conversions of
// width_blocks.h; the SSSE3 kernels build on it. Without a byte shuffle, SSE2
// picks the special forms by comparing and packs bytes one at a time.
//
// Included by width_sse2.cpp and width_ssse3.cpp only (see width_steps.h for
// why the anonymous namespace).
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "convert/kernels/width_steps.h"

namespace tornix::kernels {
namespace {

// Bit n of a byte spread to bit 2n.
struct Spread8Table {
    std::uint16_t bits[256]{};
};

constexpr Spread8Table MakeSpread8Table() {
    Spread8Table table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        for (unsigned bit = 0; bit < 8; ++bit)
            table.bits[byte] |= static_cast<std::uint16_t>(((byte >> bit) & 1) << (2 * bit));
    }
    return table;
}

constexpr Spread8Table kSpread8 = MakeSpread8Table();

struct Sse2 {
    using Vec = __m128i;
    static constexpr unsigned kWidth = 16;
    static constexpr bool kAsciiBlocksByTable = true;

    static Vec Load(const void* from) { return _mm_loadu_si128(static_cast<const __m128i*>(from)); }
    static void Store(void* to, Vec bytes) { _mm_storeu_si128(static_cast<__m128i*>(to), bytes); }
    static Vec Set(unsigned char byte) { return _mm_set1_epi8(static_cast<char>(byte)); }
    static Vec Equal(Vec a, Vec b) { return _mm_cmpeq_epi8(a, b); }
    static Vec And(Vec a, Vec b) { return _mm_and_si128(a, b); }
    static Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static Vec AndNot(Vec a, Vec b) { return _mm_andnot_si128(a, b); }  // ~a & b
    static Vec Add(Vec a, Vec b) { return _mm_add_epi8(a, b); }
    static Vec Sub(Vec a, Vec b) { return _mm_sub_epi8(a, b); }
    static Vec Select(Vec mask, Vec ifSet, Vec otherwise) {
        return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
    }
    // Bytes in [low, low + span].
    static Vec InRange(Vec bytes, unsigned char low, unsigned char span) {
        const Vec offset = _mm_sub_epi8(bytes, Set(low));
        return _mm_cmpeq_epi8(_mm_min_epu8(offset, Set(span)), offset);
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

    // The special forms all have the same lead byte: one selection for it.
    static void FullForms(Vec block, Vec& lead, Vec& trail) {
        Vec anySpecial = _mm_setzero_si128();
        trail = Add(block, Set(kRegularFullOffset));
        for (int k = 0; k < kFullSpecials; ++k) {
            const Vec special = Equal(block, Set(kFullSpecialForms.ascii[k]));
            trail = Select(special, Set(kFullSpecialForms.trail[k]), trail);
            anySpecial = Or(anySpecial, special);
        }
        lead = Select(anySpecial, Set(kFullSpecialForms.lead[0]), Set(kRegularFullLead));
    }

    static void IrregularHalfForms(Vec trail, Vec& irregular, Vec& result) {
        Vec found = _mm_setzero_si128();
        for (const WidthPair& row : kIrregular.rows) {
            const Vec match = And(irregular, Equal(trail, Set(Byte(row.full, 1))));
            result = Select(match, Set(Byte(row.half, 0)), result);
            found = Or(found, match);
        }
        irregular = found;
    }

    static void WritePacked(Vec bytes, std::uint64_t keep, char*& out) {
        alignas(16) char copy[16];
        Store(copy, bytes);
        for (unsigned n = 0; n < 16; ++n) {
            *out = copy[n];
            out += (keep >> n) & 1;
        }
    }

    static void WritePairs(Vec first, Vec second, std::uint64_t keepFirst, std::uint64_t keepSecond, bool, char*& out) {
        alignas(16) char pairs[32];
        Store(pairs, _mm_unpacklo_epi8(first, second));
        Store(pairs + 16, _mm_unpackhi_epi8(first, second));
        // Two bits per pair: how many of its bytes are kept (a second byte is
        // never kept without its first).
        std::uint32_t counts =
            kSpread8.bits[keepFirst & 0xFF] + kSpread8.bits[keepSecond & 0xFF] +
            ((kSpread8.bits[(keepFirst >> 8) & 0xFF] + kSpread8.bits[(keepSecond >> 8) & 0xFF]) << 16);
        for (unsigned n = 0; n < 16; ++n) {
            std::memcpy(out, pairs + 2 * n, 2);
            out += counts & 3;
            counts >>= 2;
        }
    }
};

}  // namespace
}  // namespace tornix::kernels
