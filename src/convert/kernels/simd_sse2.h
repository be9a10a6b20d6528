// The 16-byte vector type of the SSE2 kernels, for the block conversions of
// width_blocks.h and utf8_blocks.h; the SSSE3 kernels build on it. Without a byte shuffle to
// look up and pack with, SSE2 writes ToFullWidth's forms from a table and
// packs bytes one at a time.
//
// Included by width_sse2.cpp and width_ssse3.cpp only (see width_steps.h for
// why the anonymous namespace).
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "width_steps.h"

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

// What ToFullWidth writes for a byte of a block, by its place there and its
// value: entry (kind << 8 | byte) holds the bytes in its low 16 bits and
// their count above. Kinds: 0 a character of its own (its form, when it has
// one), 1 the first of three spaces (U+3000), 2 a byte not written (the other
// two spaces, or past the block's end), 3 a second byte (as it is).
struct BlockFormTable {
    std::uint32_t entry[4 * 256]{};
};

constexpr BlockFormTable MakeBlockFormTable() {
    BlockFormTable table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        const bool ascii = byte < 0x80;
        const unsigned first = ascii ? Byte(kFull.full[byte], 0) : byte;
        const unsigned second = ascii ? Byte(kFull.full[byte], 1) : 0;
        const unsigned length = ascii ? kFull.length[byte] : 1;
        table.entry[byte] = first | second << 8 | length << 16;
        table.entry[256 + byte] = kFullSpaceLead | kFullSpaceTrail << 8 | 2u << 16;
        table.entry[512 + byte] = 0;
        table.entry[768 + byte] = byte | 1u << 16;
    }
    return table;
}

constexpr BlockFormTable kBlockForms = MakeBlockFormTable();

struct Sse2 {
    using Vec = __m128i;
    static constexpr unsigned kWidth = 16;
    static constexpr bool kFormsByTable = true;

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

    // ToFullWidth of a block by table (see BlockFormTable): the kind of each
    // byte, two bits a byte, from the masks; then one lookup and one store per
    // byte, read again from the text (cheaper than out of the vector).
    static void WriteFormsByTable(const unsigned char* in, std::uint64_t heads, std::uint64_t seconds,
                                  std::uint64_t kept, bool asciiText, char*& out) {
        if (asciiText && kept == 0xFFFF) {  // prose: every byte its own form, as in the plain loop
            for (unsigned n = 0; n < 16; ++n) {
                const std::uint32_t entry = kBlockForms.entry[in[n]];
                std::memcpy(out, &entry, 2);
                out += entry >> 16;
            }
            return;
        }
        const std::uint64_t lowKind = heads | seconds;
        const std::uint64_t highKind = (~kept | seconds) & 0xFFFF;
        const std::uint32_t kinds = (kSpread8.bits[lowKind & 0xFF] | kSpread8.bits[highKind & 0xFF] << 1) |
                                    (kSpread8.bits[(lowKind >> 8) & 0xFF] | kSpread8.bits[highKind >> 8] << 1) << 16;
        for (unsigned n = 0; n < 16; ++n) {
            const std::uint32_t entry = kBlockForms.entry[in[n] | ((kinds >> (2 * n)) & 3) << 8];
            std::memcpy(out, &entry, 2);
            out += entry >> 16;
        }
    }

    static Vec RowsUnderA3(Vec trail) {
        Vec rows = InRange(trail, 0xA1, 0x5D);
        for (unsigned char noRow : kNoRowTrails) rows = AndNot(Equal(trail, Set(noRow)), rows);
        return rows;
    }

    static void A1HalfForms(Vec trail, Vec& rowA1, Vec& result, Vec& counts) {
        Vec found = _mm_setzero_si128();
        for (unsigned nibble = 0; nibble < 16; ++nibble) {
            if (kA1Forms.trail[nibble] == (nibble ^ 1)) continue;  // no row there
            const Vec match = And(rowA1, Equal(trail, Set(kA1Forms.trail[nibble])));
            result = Select(match, Set(kA1Forms.half[nibble]), result);
            if (kA1Forms.extra[nibble] != 0) counts = Add(counts, And(match, Set(kA1Forms.extra[nibble])));
            found = Or(found, match);
        }
        rowA1 = found;
    }

    static Vec ShiftIn(Vec bytes, Vec before) {
        return _mm_or_si128(_mm_slli_si128(bytes, 1), _mm_srli_si128(before, 15));
    }

    // Each byte written four times over, the output moving on by its count.
    static void WriteCounted(Vec bytes, Vec counts, char*& out) {
        alignas(16) unsigned char copy[16];
        alignas(16) unsigned char times[16];
        Store(copy, bytes);
        Store(times, counts);
        for (unsigned n = 0; n < 16; ++n) {
            const std::uint32_t repeated = copy[n] * 0x01010101u;
            std::memcpy(out, &repeated, 4);
            out += times[n];
        }
    }

    static void WritePacked(Vec bytes, std::uint64_t keep, char*& out) {
        alignas(16) char copy[16];
        Store(copy, bytes);
        for (unsigned n = 0; n < 16; ++n) {
            *out = copy[n];
            out += (keep >> n) & 1;
        }
    }

    // Each lane's three bytes laid out in four by unpacks, then written four
    // at a time, the output moving on by 0, 1 or 3.
    static void WriteTriples(Vec first, Vec second, Vec third, std::uint64_t keep, std::uint64_t wide, char*& out) {
        const Vec zero = _mm_setzero_si128();
        const Vec pairs[2] = {_mm_unpacklo_epi8(first, second), _mm_unpackhi_epi8(first, second)};
        const Vec thirds[2] = {_mm_unpacklo_epi8(third, zero), _mm_unpackhi_epi8(third, zero)};
        alignas(16) char lanes[64];
        Store(lanes, _mm_unpacklo_epi16(pairs[0], thirds[0]));
        Store(lanes + 16, _mm_unpackhi_epi16(pairs[0], thirds[0]));
        Store(lanes + 32, _mm_unpacklo_epi16(pairs[1], thirds[1]));
        Store(lanes + 48, _mm_unpackhi_epi16(pairs[1], thirds[1]));
        for (unsigned n = 0; n < 16; ++n) {
            std::memcpy(out, lanes + std::size_t{4} * n, 4);
            out += ((keep >> n) & 1) * (1 + 2 * ((wide >> n) & 1));
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
            std::memcpy(out, pairs + std::size_t{2} * n, 2);
            out += counts & 3;
            counts >>= 2;
        }
    }
};

}  // namespace
}  // namespace tornix::kernels
