#include "convert/width.h"

#include <cstdint>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

namespace tornix {

namespace {

constexpr std::size_t LiteralLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

constexpr unsigned char Byte(const char* text, std::size_t index) {
    return static_cast<unsigned char>(text[index]);
}

// ToHalfWidth's one departure from the table: "／" becomes two solidi.
constexpr int kSolidusRow = 15;  // row 16, counted from 0
constexpr const char* kSolidusHalf = "//";

constexpr const char* HalfOfRow(int row) {
    return row == kSolidusRow ? kSolidusHalf : kWidthTable[row].half;
}

// What ToFullWidth writes for each ASCII byte: the full-width form of each
// printable one (rows 2..95); the space, which only a run of three changes
// (row 1), and the control bytes as they are. Length 0 (bytes of 0x80 and
// more) ends an ASCII run.
struct FullTable {
    char full[256][2]{};
    std::uint8_t length[256]{};
};

constexpr FullTable MakeFullTable() {
    FullTable table{};
    for (int row = 1; row < kWidthTableRows; ++row) {
        const unsigned char half = Byte(kWidthTable[row].half, 0);
        table.full[half][0] = kWidthTable[row].full[0];
        table.full[half][1] = kWidthTable[row].full[1];
        table.length[half] = 2;
    }
    for (int byte = 0; byte < 0x80; ++byte) {
        if (table.length[byte] != 0) continue;
        table.full[byte][0] = static_cast<char>(byte);
        table.length[byte] = 1;
    }
    return table;
}

struct HalfForm {
    std::uint8_t length;
    char bytes[3];
};

// The table has full-width forms under two lead bytes only.
constexpr int kMaxFullLeads = 2;
constexpr unsigned char kFullFormLeads[kMaxFullLeads] = {0xA1, 0xA3};

// What ToHalfWidth writes for each character under the two lead bytes: its
// half-width form, or the character itself when it has no row.
struct HalfTable {
    std::uint8_t leadSlot[256]{};  // 1-based index into forms, 0 for other lead bytes
    HalfForm forms[kMaxFullLeads][256]{};
};

constexpr HalfTable MakeHalfTable() {
    HalfTable table{};
    // Every character under the two lead bytes starts as itself, so that
    // looking one up never needs a branch; the rows then overwrite theirs.
    for (int slot = 0; slot < kMaxFullLeads; ++slot) {
        table.leadSlot[kFullFormLeads[slot]] = static_cast<std::uint8_t>(slot + 1);
        for (int trail = 0; trail < 256; ++trail) {
            table.forms[slot][trail] = {2, {static_cast<char>(kFullFormLeads[slot]), static_cast<char>(trail), 0}};
        }
    }
    for (int row = 0; row < kWidthTableRows; ++row) {
        const unsigned char lead = Byte(kWidthTable[row].full, 0);
        const unsigned char trail = Byte(kWidthTable[row].full, 1);
        HalfForm& form = table.forms[table.leadSlot[lead] - 1][trail];
        const char* half = HalfOfRow(row);
        form.length = static_cast<std::uint8_t>(LiteralLength(half));
        for (std::size_t i = 0; i < form.length; ++i) form.bytes[i] = half[i];
    }
    return table;
}

constexpr FullTable kFull = MakeFullTable();
constexpr HalfTable kHalf = MakeHalfTable();

// The shape the kernels rely on, checked against the table at compile time.
constexpr bool TableHasExpectedShape() {
    if (LiteralLength(kWidthTable[0].half) != 3) return false;
    for (int i = 0; i < 3; ++i) {
        if (kWidthTable[0].half[i] != ' ') return false;
    }
    for (int row = 0; row < kWidthTableRows; ++row) {
        const unsigned char lead = Byte(kWidthTable[row].full, 0);
        if (LiteralLength(kWidthTable[row].full) != 2) return false;
        if (lead != kFullFormLeads[0] && lead != kFullFormLeads[1]) return false;
        if (row > 0 && (LiteralLength(kWidthTable[row].half) != 1 || kWidthTable[row].half[0] == ' ')) {
            return false;
        }
        // Only the full-width space grows when made half-width.
        if (row > 0 && LiteralLength(HalfOfRow(row)) > 2) return false;
    }
    return Byte(kWidthTable[0].full, 0) == Byte(kWidthTable[0].full, 1);
}
static_assert(TableHasExpectedShape(), "the conversion kernels assume this table shape");

// Room the kernels may write past the end of their output: blocks are copied
// sixteen bytes at a time, half-width forms three bytes at a time.
constexpr std::size_t kSlack = 32;

// Emits a run of `count` spaces: one full-width space per three, the rest kept.
inline char* EmitSpaceRun(char* out, std::size_t count) {
    for (std::size_t i = 0; i < count / 3; ++i) {
        out[0] = kWidthTable[0].full[0];
        out[1] = kWidthTable[0].full[1];
        out += 2;
    }
    for (std::size_t i = 0; i < count % 3; ++i) *out++ = ' ';
    return out;
}

// Converts the printable ASCII and spaces from boundary `i` on and returns the
// position after them. Plain English text spends its time here.
// Single spaces between words take the same branch-free path as letters; only
// two or more spaces in a row leave it. Stops at a byte of 0x80 or more, once
// past `limit`, or right after a run of spaces.
inline std::size_t ConvertAsciiRun(const unsigned char* in, std::size_t i, std::size_t limit, std::size_t size,
                                   char*& out) {
    while (i < limit) {
        const unsigned char byte = in[i];
        const unsigned length = kFull.length[byte];
        if (length == 0) break;
        const unsigned char next = i + 1 < size ? in[i + 1] : 0;
        if ((byte == ' ') & (next == ' ')) {
            std::size_t run = 2;
            while (i + run < size && in[i + run] == ' ') ++run;
            out = EmitSpaceRun(out, run);
            return i + run;
        }
        std::memcpy(out, kFull.full[byte], 2);
        out += length;
        ++i;
    }
    return i;
}

// Writes the character at boundary `i` (a lead byte with a byte after it),
// converted when the table has it.
inline void CopyOrConvertPair(const unsigned char* in, std::size_t i, char*& out) {
    const std::uint8_t slot = kHalf.leadSlot[in[i]];
    if (slot == 0) {
        std::memcpy(out, in + i, 2);
        out += 2;
        return;
    }
    const HalfForm& form = kHalf.forms[slot - 1][in[i + 1]];
    std::memcpy(out, form.bytes, sizeof form.bytes);
    out += form.length;
}

#if defined(__SSE2__)

// Bit n set where byte n of the block is a lead byte (0x81..0xFE).
inline unsigned LeadMask(__m128i block) {
    const __m128i offset = _mm_sub_epi8(block, _mm_set1_epi8(static_cast<char>(0x81)));
    const __m128i inRange = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(0x7D)), offset);
    return static_cast<unsigned>(_mm_movemask_epi8(inRange));
}

// Bit n set where byte n is a space or printable ASCII (0x20..0x7E).
inline unsigned PrintableAsciiMask(__m128i block) {
    const __m128i offset = _mm_sub_epi8(block, _mm_set1_epi8(0x20));
    const __m128i inRange = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(0x5E)), offset);
    return static_cast<unsigned>(_mm_movemask_epi8(inRange));
}

// Bit n set where byte n is one of the table's lead bytes.
inline unsigned FullFormLeadMask(__m128i block) {
    const __m128i first = _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(kFullFormLeads[0])));
    const __m128i second = _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(kFullFormLeads[1])));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(first, second)));
}

// Given that byte `from` of a block begins a character, where the lead bytes
// that run up to byte `before` begin pairing: just after the last byte in
// between that is not a lead byte (such a byte always ends a character), or at
// `from`. Byte `before` begins a character when its distance from there is even.
inline unsigned PairingStart(unsigned plainMask, unsigned from, unsigned before) {
    const unsigned plain = plainMask & ((1u << before) - 1) & ~((1u << from) - 1);
    return plain == 0 ? from : 32 - static_cast<unsigned>(__builtin_clz(plain));
}

struct BlockScan {
    std::size_t next;  // a character boundary
    bool hit;          // whether a byte of interest begins a character at `next`
};

// Copies the 16-byte block at boundary `i` to `out` as it is and finds the
// first character in it that begins with a byte of interest. On a hit, `out`
// and the result stop just before that character; otherwise both move past the
// block (one byte further when the block ends inside a character).
template <typename InterestMask>
inline BlockScan ScanBlock(const unsigned char* in, std::size_t i, std::size_t size, char*& out,
                           InterestMask interest) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
    const unsigned plain = ~LeadMask(block) & 0xFFFFu;
    unsigned hits = interest(block);
    while (hits != 0) {
        const unsigned hit = static_cast<unsigned>(__builtin_ctz(hits));
        if (((hit - PairingStart(plain, 0, hit)) & 1) == 0) {
            out += hit;
            return {i + hit, true};
        }
        hits &= hits - 1;  // the second byte of a character
    }
    // Past the block, and one byte further when its last character goes on
    // into the next byte, unless the text ends there with a lone lead byte.
    std::size_t end = 16 + ((16 - PairingStart(plain, 0, 16)) & 1);
    if (i + end > size) end = 16;
    if (end == 17) out[16] = static_cast<char>(in[i + 16]);
    out += end;
    return {i + end, false};
}

// ToHalfWidth over a 16-byte block at boundary `i`, converting every
// full-width form in it without scanning the block again: after each one the
// rest of the block is copied again at its new place. Needs 33 readable bytes
// from `i`. Returns the boundary after the block.
inline std::size_t HalfWidthBlock(const unsigned char* in, std::size_t i, char*& out) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
    const unsigned plain = ~LeadMask(block) & 0xFFFFu;
    unsigned from = 0;  // the block's bytes from here on are at `out`
    for (unsigned hits = FullFormLeadMask(block); hits != 0; hits &= hits - 1) {
        const unsigned hit = static_cast<unsigned>(__builtin_ctz(hits));
        if (hit < from || ((hit - PairingStart(plain, from, hit)) & 1) != 0) continue;
        out += hit - from;
        CopyOrConvertPair(in, i + hit, out);
        from = hit + 2;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + from)));
    }
    const unsigned end = from >= 16 ? from : 16 + ((16 - PairingStart(plain, from, 16)) & 1);
    if (end == 17 && from < 17) out[16 - from] = static_cast<char>(in[i + 16]);
    out += end - from;
    return i + end;
}

// Shuffle controls that drop the second byte of each pair whose bit is set:
// eight byte pairs in, the kept bytes packed to the front.
struct CompactTable {
    std::uint8_t control[256][16]{};
};

constexpr CompactTable MakeCompactTable() {
    CompactTable table{};
    for (int mask = 0; mask < 256; ++mask) {
        int kept = 0;
        for (int pair = 0; pair < 8; ++pair) {
            table.control[mask][kept++] = static_cast<std::uint8_t>(2 * pair);
            if ((mask & (1 << pair)) == 0) table.control[mask][kept++] = static_cast<std::uint8_t>(2 * pair + 1);
        }
        while (kept < 16) table.control[mask][kept++] = 0x80;  // zero
    }
    return table;
}

constexpr CompactTable kCompact = MakeCompactTable();

// The single-character rows whose full-width form is not 0xA3, c + 0x80.
constexpr int kIrregularRows = 3;
struct IrregularRows {
    WidthPair rows[kIrregularRows]{};
    int count = 0;
};

constexpr IrregularRows FindIrregularRows() {
    IrregularRows found{};
    for (int row = 1; row < kWidthTableRows; ++row) {
        const unsigned char half = Byte(kWidthTable[row].half, 0);
        if (Byte(kWidthTable[row].full, 0) == 0xA3 && Byte(kWidthTable[row].full, 1) == half + 0x80) continue;
        if (found.count < kIrregularRows) found.rows[found.count] = kWidthTable[row];
        ++found.count;
    }
    return found;
}

constexpr IrregularRows kIrregular = FindIrregularRows();
static_assert(kIrregular.count == kIrregularRows, "the block conversion handles exactly these rows");

// ToFullWidth of ASCII text, sixteen bytes at a time: each printable byte
// becomes its two-byte form, spaces and control bytes stay one byte. Stops at
// the first block that holds a byte of 0x80 or more or touches a run of three
// spaces, and returns where it stopped; the caller goes on from there.
__attribute__((target("ssse3"))) std::size_t FullWidthAsciiBlocks(const unsigned char* in, std::size_t i,
                                                                 std::size_t size, char*& out) {
    const __m128i space = _mm_set1_epi8(' ');
    while (i + 18 <= size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        if (_mm_movemask_epi8(block) != 0) break;
        const unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, space))) |
                                (in[i + 16] == ' ' ? 1u << 16 : 0u) | (in[i + 17] == ' ' ? 1u << 17 : 0u);
        if ((spaces & (spaces >> 1) & (spaces >> 2)) != 0) break;
        const __m128i kept = _mm_cmpeq_epi8(
            _mm_min_epu8(_mm_sub_epi8(block, _mm_set1_epi8(0x21)), _mm_set1_epi8(0x5D)),
            _mm_sub_epi8(block, _mm_set1_epi8(0x21)));  // 0x21..0x7E: expanded
        const unsigned single = ~static_cast<unsigned>(_mm_movemask_epi8(kept)) & 0xFFFFu;

        __m128i lead = _mm_set1_epi8(static_cast<char>(0xA3));
        __m128i trail = _mm_add_epi8(block, _mm_set1_epi8(static_cast<char>(0x80)));
        // The rows that leave the 0xA3 pattern ($ . ~); the space is kept as it is.
        for (const WidthPair& row : kIrregular.rows) {
            const __m128i match = _mm_cmpeq_epi8(block, _mm_set1_epi8(row.half[0]));
            lead = _mm_or_si128(_mm_andnot_si128(match, lead), _mm_and_si128(match, _mm_set1_epi8(row.full[0])));
            trail = _mm_or_si128(_mm_andnot_si128(match, trail), _mm_and_si128(match, _mm_set1_epi8(row.full[1])));
        }
        lead = _mm_or_si128(_mm_and_si128(kept, lead), _mm_andnot_si128(kept, block));

        const __m128i low = _mm_unpacklo_epi8(lead, trail);
        const __m128i high = _mm_unpackhi_epi8(lead, trail);
        const unsigned lowSingles = single & 0xFFu;
        const unsigned highSingles = single >> 8;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_shuffle_epi8(low, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kCompact.control[lowSingles]))));
        out += 16 - __builtin_popcount(lowSingles);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_shuffle_epi8(high, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kCompact.control[highSingles]))));
        out += 16 - __builtin_popcount(highSingles);
        i += 16;
    }
    return i;
}

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Converts the ASCII text from boundary `i` on: in blocks where the processor
// allows, byte by byte across what the blocks leave.
inline std::size_t ConvertAsciiText(const unsigned char* in, std::size_t i, std::size_t size, char*& out) {
    const bool blocks = HasSsse3();
    while (i < size) {
        if (blocks) i = FullWidthAsciiBlocks(in, i, size, out);
        const std::size_t limit = i + 16 < size ? i + 16 : size;
        const std::size_t end = ConvertAsciiRun(in, i, limit, size, out);
        if (end < limit && end < size && kFull.length[in[end]] == 0) return end;  // the ASCII text has ended
        i = end;
    }
    return i;
}

#endif

}  // namespace

char* ToFullWidthInto(std::string_view text, char* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    while (i + 16 <= size) {
        const BlockScan scan = ScanBlock(in, i, size, out, PrintableAsciiMask);
        i = scan.next;
        if (scan.hit) i = ConvertAsciiText(in, i, size, out);
    }
#endif
    while (i < size) {
        const unsigned char byte = in[i];
        if (kFull.length[byte] != 0) {
            i = ConvertAsciiRun(in, i, size, size, out);
        } else if (IsLeadByte(byte) && i + 1 < size) {
            std::memcpy(out, in + i, 2);
            out += 2;
            i += 2;
        } else {
            *out++ = static_cast<char>(byte);
            ++i;
        }
    }
    return out;
}

char* ToHalfWidthInto(std::string_view text, char* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    while (i + 33 <= size) i = HalfWidthBlock(in, i, out);
    while (i + 16 <= size) {
        const BlockScan scan = ScanBlock(in, i, size, out, FullFormLeadMask);
        i = scan.next;
        if (scan.hit && i + 1 < size) {
            CopyOrConvertPair(in, i, out);
            i += 2;
        }
    }
#endif
    while (i < size) {
        if (IsLeadByte(in[i]) && i + 1 < size) {
            CopyOrConvertPair(in, i, out);
            i += 2;
        } else {
            *out++ = static_cast<char>(in[i++]);
        }
    }
    return out;
}

namespace {

// How many bytes of `text` lie in [low, low + span], counted in blocks where
// the processor allows: the bounds are sized on every call, so they must cost
// little next to the conversion itself.
std::size_t CountInRange(std::string_view text, unsigned char low, unsigned char span) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t count = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i lowBytes = _mm_set1_epi8(static_cast<char>(low));
    const __m128i spanBytes = _mm_set1_epi8(static_cast<char>(span));
    while (i + 16 <= size) {
        // Up to 255 blocks per round, so that no byte lane overflows.
        __m128i lanes = _mm_setzero_si128();
        for (int block = 0; block < 255 && i + 16 <= size; ++block, i += 16) {
            const __m128i offset = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), lowBytes);
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(_mm_min_epu8(offset, spanBytes), offset));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    for (; i < size; ++i) count += static_cast<unsigned char>(in[i] - low) <= span;
    return count;
}

}  // namespace

// ToFullWidth output never exceeds the input plus one byte per printable ASCII
// byte (each may become two bytes; three spaces shrink to two).
std::size_t ToFullWidthBound(std::string_view text) { return text.size() + CountInRange(text, 0x21, 0x5D) + kSlack; }

// ToHalfWidth output grows only where U+3000 (two equal bytes) becomes three
// spaces, so half the count of that byte bounds the growth.
std::size_t ToHalfWidthBound(std::string_view text) {
    const auto spaceByte = static_cast<unsigned char>(kWidthTable[0].full[0]);
    return text.size() + CountInRange(text, spaceByte, 0) / 2 + kSlack;
}

namespace {

// Runs a kernel into one buffer sized up front from its bound.
GbkString ConvertWhole(std::string_view text, std::size_t bound, char* (*kernel)(std::string_view, char*)) {
    std::string result(bound, '\0');
    char* const end = kernel(text, result.data());
    result.resize(static_cast<std::size_t>(end - result.data()));
    return GbkString(std::move(result));
}

}  // namespace

GbkString ToFullWidth(const GbkString& text) {
    return ConvertWhole(text.view(), ToFullWidthBound(text.view()), ToFullWidthInto);
}

GbkString ToHalfWidth(const GbkString& text) {
    return ConvertWhole(text.view(), ToHalfWidthBound(text.view()), ToHalfWidthInto);
}

}  // namespace tornix
