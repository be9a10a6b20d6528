// The 16-byte kernels for processors with SSE2 only (every x86-64 processor).
// Compiled with the build's flags for x86-64, which include SSE2.
#include <cstdint>
#include <cstring>

#include "simd/sse2.h"
#include "utf8_policy_blocks.h"
#include "width_blocks.h"
#include "width_kernels.h"

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

constexpr BlockFormTable MakeBlockFormTable(const FullTable& forms) {
    BlockFormTable table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        const bool ascii = byte < 0x80;
        const unsigned first = ascii ? Byte(forms.full[byte], 0) : byte;
        const unsigned second = ascii ? Byte(forms.full[byte], 1) : 0;
        const unsigned length = ascii ? forms.length[byte] : 1;
        table.entry[byte] = first | second << 8 | length << 16;
        table.entry[256 + byte] = kFullSpaceLead | kFullSpaceTrail << 8 | 2u << 16;
        table.entry[512 + byte] = 0;
        table.entry[768 + byte] = byte | 1u << 16;
    }
    return table;
}

constexpr BlockFormTable kBlockForms = MakeBlockFormTable(kFull);
constexpr BlockFormTable kUnicodeBlockForms = MakeBlockFormTable(kUnicodeFull);

// The SSE2 vocabulary with the width kernels' own operations (width_blocks.h).
// Without a byte shuffle to look up and pack with, ToFullWidth's forms are
// written from a table and bytes are packed one at a time.
struct Sse2Width : simd::Sse2 {
    static constexpr bool kFormsByTable = true;

    // ToFullWidth of a block by table (see BlockFormTable): the kind of each
    // byte, two bits a byte, from the masks; then one lookup and one store per
    // byte, read again from the text (cheaper than out of the vector).
    static void WriteFormsByTable(const unsigned char* in, std::uint64_t heads, std::uint64_t seconds,
                                  std::uint64_t kept, bool asciiText, char*& out,
                                  WidthTableKind table = WidthTableKind::kClassic) {
        const BlockFormTable& forms = table == WidthTableKind::kClassic ? kBlockForms : kUnicodeBlockForms;
        if (asciiText && kept == 0xFFFF) {  // prose: every byte its own form, as in the plain loop
            for (unsigned n = 0; n < 16; ++n) {
                const std::uint32_t entry = forms.entry[in[n]];
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
            const std::uint32_t entry = forms.entry[in[n] | ((kinds >> (2 * n)) & 3) << 8];
            std::memcpy(out, &entry, 2);
            out += entry >> 16;
        }
    }

    // Without a byte shuffle, each byte's rule is looked up on its own.
    static Converting Classify(Vec bytes, std::uint64_t candidates, const ConvertSets& sets, bool) {
        alignas(16) unsigned char copy[16];
        Store(copy, bytes);
        unsigned always = 0;
        unsigned byContext = 0;
        for (unsigned n = 0; n < 16; ++n) {
            const unsigned rule = sets.rules[copy[n]];
            always |= (rule & 1) << n;
            byContext |= (rule >> 1) << n;
        }
        return {always & candidates, byContext & candidates};
    }

    static Vec RowsUnderA3(Vec trail) {
        Vec rows = InRange(trail, 0xA1, 0x5D);
        for (unsigned char noRow : kNoRowTrails) rows = AndNot(Equal(trail, Splat(noRow)), rows);
        return rows;
    }

    static void A1HalfForms(Vec trail, Vec& rowA1, Vec& result, Vec& counts, const A1FormsByNibble& forms = kA1Forms) {
        Vec found = _mm_setzero_si128();
        for (unsigned nibble = 0; nibble < 16; ++nibble) {
            if (forms.trail[nibble] == (nibble ^ 1)) continue;  // no row there
            const Vec match = And(rowA1, Equal(trail, Splat(forms.trail[nibble])));
            result = Select(match, Splat(forms.half[nibble]), result);
            if (forms.extra[nibble] != 0) counts = Add(counts, And(match, Splat(forms.extra[nibble])));
            found = Or(found, match);
        }
        rowA1 = found;
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

char* ToFullWidthSse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = FullWidthBlocks<Sse2Width>(in, 0, size, out);
    return ToFullWidthScalar(in + i, size - i, out);
}

char* ToHalfWidthSse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = HalfWidthBlocks<Sse2Width>(in, 0, size, out);
    return ToHalfWidthScalar(in + i, size - i, out);
}

char* ToFullWidthUtf8Sse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8FullWidthBlocks<Sse2Width>(in, 0, size, out);
    return ToFullWidthUtf8Scalar(in + i, size - i, out);
}

char* ToHalfWidthUtf8Sse2(const unsigned char* in, std::size_t size, char* out) {
    const std::size_t i = Utf8HalfWidthBlocks<Sse2Width>(in, 0, size, out);
    return ToHalfWidthUtf8Scalar(in + i, size - i, out);
}

}  // namespace

std::size_t CountInRangeSse2(const unsigned char* in, std::size_t size, unsigned char low, unsigned char span) {
    std::size_t count = 0;
    std::size_t i = 0;
    const __m128i lowBytes = simd::Sse2::Splat(low);
    const __m128i spanBytes = simd::Sse2::Splat(span);
    while (i + 16 <= size) {
        // Up to 255 blocks per round, so that no byte lane overflows.
        __m128i lanes = _mm_setzero_si128();
        for (int block = 0; block < 255 && i + 16 <= size; ++block, i += 16) {
            const __m128i offset = _mm_sub_epi8(simd::Sse2::Load(in + i), lowBytes);
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(_mm_min_epu8(offset, spanBytes), offset));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
    return count + CountInRangeScalar(in + i, size - i, low, span);
}

extern const KernelTable kSse2Kernels = {
    ToFullWidthSse2,
    ToHalfWidthSse2,
    ToFullWidthUtf8Sse2,
    ToHalfWidthUtf8Sse2,
    CountInRangeSse2,
    BlocksThenTail<PolicyFullWidthBlocks<Sse2Width>, ToFullWidthPolicyTail>,
    BlocksThenTail<PolicyHalfWidthBlocks<Sse2Width>, ToHalfWidthPolicyTail>,
    BlocksThenTail<PolicyUtf8FullWidthBlocks<Sse2Width>, ToFullWidthUtf8PolicyTail>,
    BlocksThenTail<PolicyUtf8HalfWidthBlocks<Sse2Width>, ToHalfWidthUtf8PolicyTail>,
};

}  // namespace tornix::kernels
