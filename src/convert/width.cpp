#include "convert/width.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

// 64-byte kernels where the compiler and the platform's stack alignment allow
// them (GCC does not align the stack for them on 64-bit Windows).
#if defined(__x86_64__) && !defined(_WIN32) && (defined(__GNUC__) || defined(__clang__))
#define TORNIX_AVX512_KERNELS 1
#include <immintrin.h>
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
    // The block kernels convert every byte from '!' to '~'.
    for (int byte = 0x21; byte <= 0x7E; ++byte) {
        if (kFull.length[byte] != 2) return false;
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

// The instruction sets the kernels may use, lowest first; TORNIX_SIMD caps
// the choice (see width.h).
enum class Kernels { kScalar, kSse2, kSsse3, kAvx512 };

Kernels DetectKernels() {
    Kernels level = Kernels::kScalar;
#if defined(__SSE2__)
    level = Kernels::kSse2;
    if (__builtin_cpu_supports("ssse3")) level = Kernels::kSsse3;
#endif
#if defined(TORNIX_AVX512_KERNELS)
    if (level == Kernels::kSsse3 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
        __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt")) {
        level = Kernels::kAvx512;
    }
#endif
    if (const char* cap = std::getenv("TORNIX_SIMD")) {
        static constexpr const char* kNames[] = {"scalar", "sse2", "ssse3", "avx512"};
        for (int named = 0; named < 4; ++named) {
            if (std::strcmp(cap, kNames[named]) == 0 && static_cast<int>(level) > named) {
                level = static_cast<Kernels>(named);
            }
        }
    }
    return level;
}

Kernels KernelLevel() {
    static const Kernels level = DetectKernels();
    return level;
}

// Bit n set where byte n begins a two-byte character, given the lead bytes
// (bit n set where byte n is one) of a block that begins on a character: lead
// bytes pair up from the start of each run of them, so a run that starts at an
// even position begins characters at even positions.
constexpr std::uint64_t kEvenBits = 0x5555555555555555u;

constexpr std::uint64_t PairStarts(std::uint64_t leads) {
    const std::uint64_t runStarts = leads & ~(leads << 1);
    const std::uint64_t evenRuns = leads & ~(leads + (runStarts & kEvenBits));
    return (evenRuns & kEvenBits) | (leads & ~evenRuns & ~kEvenBits);
}

#if defined(__SSE2__)

// Bit n set where byte n of the block is a lead byte (0x81..0xFE).
inline unsigned LeadMask(__m128i block) {
    const __m128i offset = _mm_sub_epi8(block, _mm_set1_epi8(static_cast<char>(0x81)));
    const __m128i inRange = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(0x7D)), offset);
    return static_cast<unsigned>(_mm_movemask_epi8(inRange));
}

// Bit n set where byte n is ASCII (below 0x80).
inline unsigned AsciiMask(__m128i block) {
    return ~static_cast<unsigned>(_mm_movemask_epi8(block)) & 0xFFFFu;
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
        const HalfForm& form = kHalf.forms[kHalf.leadSlot[in[i + hit]] - 1][in[i + hit + 1]];
        std::memcpy(out, form.bytes, sizeof form.bytes);
        out += form.length;
        from = hit + 2;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + from)));
    }
    const unsigned end = from >= 16 ? from : 16 + ((16 - PairingStart(plain, from, 16)) & 1);
    if (end == 17 && from < 17) out[16 - from] = static_cast<char>(in[i + 16]);
    out += end - from;
    return i + end;
}

// Shuffle controls that pack the bytes whose bits are set in an 8-bit mask,
// out of the low or the high eight bytes of a 16-byte vector, to the front.
struct PackTable {
    std::uint8_t control[2][256][16]{};
    std::uint8_t kept[256]{};
};

constexpr PackTable MakePackTable() {
    PackTable table{};
    for (int mask = 0; mask < 256; ++mask) {
        for (int half = 0; half < 2; ++half) {
            int kept = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (mask & (1 << bit)) table.control[half][mask][kept++] = static_cast<std::uint8_t>(8 * half + bit);
            }
            table.kept[mask] = static_cast<std::uint8_t>(kept);
            while (kept < 16) table.control[half][mask][kept++] = 0x80;  // zero
        }
    }
    return table;
}

constexpr PackTable kPack = MakePackTable();

// Shuffle controls for the common case where only second bytes are dropped:
// eight byte pairs in, the second byte of each pair whose bit is set left out.
struct CompactTable {
    std::uint8_t control[256][16]{};
    std::uint8_t dropped[256]{};
};

constexpr CompactTable MakeCompactTable() {
    CompactTable table{};
    for (int mask = 0; mask < 256; ++mask) {
        int kept = 0;
        for (int pair = 0; pair < 8; ++pair) {
            table.control[mask][kept++] = static_cast<std::uint8_t>(2 * pair);
            if ((mask & (1 << pair)) == 0) table.control[mask][kept++] = static_cast<std::uint8_t>(2 * pair + 1);
        }
        table.dropped[mask] = static_cast<std::uint8_t>(16 - kept);
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

// Bit n of `bits` spread to bit 2n.
constexpr std::uint32_t SpreadBits(std::uint32_t bits) {
    bits = (bits | bits << 8) & 0x00FF00FFu;
    bits = (bits | bits << 4) & 0x0F0F0F0Fu;
    bits = (bits | bits << 2) & 0x33333333u;
    return (bits | bits << 1) & 0x55555555u;
}

// A byte mask with byte n set where bit n of `bits` is.
__attribute__((target("ssse3"))) inline __m128i BitsToBytes(unsigned bits) {
    const __m128i spread = _mm_shuffle_epi8(_mm_set1_epi16(static_cast<short>(bits)),
                                            _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1));
    const __m128i bit = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    return _mm_cmpeq_epi8(_mm_and_si128(spread, bit), bit);
}

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

// How the spaces of a block convert: each run of three or more that ends
// inside the block becomes one full-width space per three, written where the
// group's first space was (`heads`), its other two dropped (`dropped`); the
// rest of a run stays. `stop` is lowered to the start of a run that goes on
// past the block, which the caller converts.
// The low `count` bits set, for counts up to 64.
constexpr std::uint64_t LowBits(unsigned count) {
    return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
}

inline unsigned RunStart(std::uint64_t spaces, unsigned position) {
    const std::uint64_t before = ~spaces & ((std::uint64_t{1} << position) - 1);
    return before == 0 ? 0 : 64 - static_cast<unsigned>(__builtin_clzll(before));
}

// For blocks of `width` bytes, up to 64.
inline void PlanSpaceRuns(std::uint64_t spaces, unsigned width, bool nextIsSpace, std::uint64_t& heads,
                          std::uint64_t& dropped, unsigned& stop) {
    if (nextIsSpace && ((spaces >> (width - 1)) & 1) != 0) stop = RunStart(spaces, width - 1);
    spaces &= LowBits(stop);
    std::uint64_t inTriples = spaces & (spaces >> 1) & (spaces >> 2);
    while (inTriples != 0) {
        const unsigned start = RunStart(spaces, static_cast<unsigned>(__builtin_ctzll(inTriples)));
        const std::uint64_t after = ~(spaces >> start);  // zero when all 64 bytes are spaces
        const unsigned length = after == 0 ? 64 : static_cast<unsigned>(__builtin_ctzll(after));
        for (unsigned group = start; group + 3 <= start + length; group += 3) {
            heads |= std::uint64_t{1} << group;
            dropped |= std::uint64_t{3} << (group + 1);
        }
        inTriples &= ~(LowBits(length) << start);
    }
}

// ToFullWidth of ASCII text, sixteen bytes at a time: each printable byte
// becomes its two-byte form, control bytes and spaces stay one byte, and runs
// of three spaces become full-width spaces. Stops before the first byte of
// 0x80 or more, before a run of spaces that goes on past a block, or near the
// end of the text, and returns where it stopped.
__attribute__((target("ssse3"))) std::size_t FullWidthAsciiBlocks(const unsigned char* in, std::size_t i,
                                                                  std::size_t size, char*& out) {
    while (i + 17 <= size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        unsigned stop =
            static_cast<unsigned>(__builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(block)) | 0x10000u));
        std::uint64_t runHeads = 0, runDropped = 0;
        const unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(' '))));
        PlanSpaceRuns(spaces, 16, stop == 16 && in[i + 16] == ' ', runHeads, runDropped, stop);
        if (stop == 0) break;
        const auto heads = static_cast<unsigned>(runHeads);
        const auto dropped = static_cast<std::uint32_t>(runDropped);

        const __m128i offset = _mm_sub_epi8(block, _mm_set1_epi8(0x21));
        const __m128i expanded = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(0x5D)), offset);  // 0x21..0x7E
        __m128i lead = _mm_set1_epi8(static_cast<char>(0xA3));
        __m128i trail = _mm_add_epi8(block, _mm_set1_epi8(static_cast<char>(0x80)));
        // The rows that leave the 0xA3 pattern ($ . ~).
        for (const WidthPair& row : kIrregular.rows) {
            const __m128i match = _mm_cmpeq_epi8(block, _mm_set1_epi8(row.half[0]));
            lead = Select(match, _mm_set1_epi8(row.full[0]), lead);
            trail = Select(match, _mm_set1_epi8(row.full[1]), trail);
        }
        lead = Select(expanded, lead, block);
        const __m128i head = BitsToBytes(heads);
        lead = Select(head, _mm_set1_epi8(kWidthTable[0].full[0]), lead);
        trail = Select(head, _mm_set1_epi8(kWidthTable[0].full[1]), trail);

        // Which bytes of the pairs are written, for the first `stop` input bytes.
        const unsigned taken = (1u << stop) - 1;
        const unsigned narrow = ~(static_cast<unsigned>(_mm_movemask_epi8(expanded)) | heads) & taken;
        const __m128i pairs[2] = {_mm_unpacklo_epi8(lead, trail), _mm_unpackhi_epi8(lead, trail)};
        if (dropped == 0) {
            // Only second bytes go: one shuffle per eight pairs.
            for (unsigned half = 0; half < 2 && 8 * half < stop; ++half) {
                const unsigned singles = (narrow >> (8 * half)) & 0xFFu;
                const __m128i control = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kCompact.control[singles]));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(pairs[half], control));
                const unsigned count = stop - 8 * half < 8 ? stop - 8 * half : 8;
                out += 2 * count - static_cast<unsigned>(kCompact.dropped[singles & ((1u << count) - 1)]);
            }
        } else {
            const std::uint32_t keep = SpreadBits(~dropped & taken) | SpreadBits(~narrow & ~dropped & taken) << 1;
            for (unsigned quarter = 0; quarter < 4; ++quarter) {
                const unsigned mask = (keep >> (8 * quarter)) & 0xFFu;
                const __m128i control =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPack.control[quarter & 1][mask]));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(pairs[quarter / 2], control));
                out += kPack.kept[mask];
            }
        }
        i += stop;
        if (stop < 16) break;
    }
    return i;
}

// The full-width forms as the block conversion below sees them: under 0xA3,
// trail t in 0xA1..0xFE is the form of t - 0x80, except three trails without
// a row and the solidus, which becomes two; under 0xA1, the space (which grows
// to three bytes and is left to the caller) and the irregular rows.
constexpr unsigned char kNoRowTrails[] = {0xA4, 0xAE, 0xFE};
constexpr unsigned char kSolidusTrail = 0xAF;

constexpr bool HalfFormsFollowTheBlockRule() {
    for (int trail = 0; trail < 256; ++trail) {
        const HalfForm& a3 = kHalf.forms[kHalf.leadSlot[0xA3] - 1][trail];
        bool noRow = trail < 0xA1 || trail > 0xFE;
        for (unsigned char t : kNoRowTrails) noRow = noRow || trail == t;
        if (noRow) {
            if (a3.length != 2 || Byte(a3.bytes, 0) != 0xA3 || Byte(a3.bytes, 1) != trail) return false;
        } else if (trail == kSolidusTrail) {
            if (a3.length != 2 || a3.bytes[0] != '/' || a3.bytes[1] != '/') return false;
        } else if (a3.length != 1 || Byte(a3.bytes, 0) != trail - 0x80) {
            return false;
        }
        const HalfForm& a1 = kHalf.forms[kHalf.leadSlot[0xA1] - 1][trail];
        bool irregular = false;
        for (const WidthPair& row : kIrregular.rows) irregular = irregular || Byte(row.full, 1) == trail;
        if (trail == Byte(kWidthTable[0].full, 1)) {
            if (a1.length != 3) return false;
        } else if (!irregular && (a1.length != 2 || Byte(a1.bytes, 1) != trail)) {
            return false;
        }
    }
    for (const WidthPair& row : kIrregular.rows) {
        if (Byte(row.full, 0) != 0xA1) return false;
    }
    return Byte(kWidthTable[0].full, 0) == 0xA1;
}
static_assert(HalfFormsFollowTheBlockRule(), "the block conversion to half width assumes these forms");

// The irregular rows under 0xA1 told apart by the low four bits of their
// second byte: for each value of those bits, the second byte a row has there
// and its half-width form.
struct IrregularByNibble {
    std::uint8_t trail[16]{};
    std::uint8_t half[16]{};
    bool distinct = true;
};

constexpr IrregularByNibble MakeIrregularByNibble() {
    IrregularByNibble table{};
    bool taken[16]{};
    // Where no row is, a byte whose low bits differ from the place: no match.
    for (unsigned nibble = 0; nibble < 16; ++nibble) table.trail[nibble] = static_cast<std::uint8_t>(nibble ^ 1);
    for (const WidthPair& row : kIrregular.rows) {
        const unsigned nibble = Byte(row.full, 1) & 0x0F;
        if (taken[nibble]) table.distinct = false;
        taken[nibble] = true;
        table.trail[nibble] = Byte(row.full, 1);
        table.half[nibble] = Byte(row.half, 0);
    }
    return table;
}

constexpr IrregularByNibble kIrregularByNibble = MakeIrregularByNibble();
static_assert(kIrregularByNibble.distinct, "the irregular rows need distinct low four bits");

// ToHalfWidth sixteen bytes at a time: finds the characters that start in
// the block from its bytes alone, turns each full-width form into its
// half-width form in place and packs out the bytes that go. A block stops
// before a full-width space, which grows to three spaces and is written on
// its own. Returns where it stopped near the end of the text, always on a
// character boundary.
__attribute__((target("ssse3"))) std::size_t HalfWidthBlocks(const unsigned char* in, std::size_t i, std::size_t size,
                                                             char*& out) {
    const __m128i a1 = _mm_set1_epi8(static_cast<char>(0xA1));
    const __m128i a3 = _mm_set1_epi8(static_cast<char>(0xA3));
    while (i + 16 <= size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
        if (_mm_movemask_epi8(block) == 0) {  // ASCII only: nothing to convert
            out += 16;
            i += 16;
            continue;
        }
        const unsigned leads = LeadMask(block);
        const unsigned fullLeads = FullFormLeadMask(block);
        if (fullLeads == 0) {
            // Past the block, short of a last character that goes on past it.
            const unsigned plain = ~leads & 0xFFFFu;
            const unsigned trailingLeads = plain == 0 ? 16 : static_cast<unsigned>(__builtin_clz(plain)) - 16;
            const unsigned length = 16 - (trailingLeads & 1);
            out += length;
            i += length;
            continue;
        }
        const auto starts = static_cast<unsigned>(PairStarts(leads));
        // A character that goes on past the block waits for the next one.
        unsigned length = (starts & 0x8000u) != 0 ? 15 : 16;
        const unsigned forms = starts & fullLeads & ((1u << length) - 1);
        if (forms == 0) {
            out += length;
            i += length;
            continue;
        }
        const __m128i trail = _mm_srli_si128(block, 1);  // byte n: the byte after byte n
        const __m128i atForm = BitsToBytes(forms);
        const __m128i underA1 = _mm_and_si128(atForm, _mm_cmpeq_epi8(block, a1));
        const unsigned grows =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(underA1, _mm_cmpeq_epi8(trail, a1))));
        if (grows != 0) {
            length = static_cast<unsigned>(__builtin_ctz(grows));
            if (length == 0) {  // the full-width space: three spaces, then on from after it
                std::memcpy(out, kHalf.forms[kHalf.leadSlot[0xA1] - 1][0xA1].bytes, 3);
                out += 3;
                i += 2;
                continue;
            }
        }

        const __m128i offset = _mm_sub_epi8(trail, a1);
        __m128i regular = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(0x5D)), offset);  // 0xA1..0xFE
        for (unsigned char noRow : kNoRowTrails) {
            regular = _mm_andnot_si128(_mm_cmpeq_epi8(trail, _mm_set1_epi8(static_cast<char>(noRow))), regular);
        }
        const __m128i underA3 = _mm_and_si128(_mm_and_si128(atForm, _mm_cmpeq_epi8(block, a3)), regular);
        const __m128i solidus =
            _mm_and_si128(underA3, _mm_cmpeq_epi8(trail, _mm_set1_epi8(static_cast<char>(kSolidusTrail))));
        __m128i converted = underA3;
        __m128i result = Select(underA3, _mm_sub_epi8(trail, _mm_set1_epi8(static_cast<char>(0x80))), block);
        // The irregular rows, looked up by the low four bits of the second byte.
        const __m128i nibble = _mm_and_si128(trail, _mm_set1_epi8(0x0F));
        const __m128i rowTrail =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(kIrregularByNibble.trail)), nibble);
        const __m128i irregular = _mm_and_si128(underA1, _mm_cmpeq_epi8(trail, rowTrail));
        const __m128i rowHalf =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(kIrregularByNibble.half)), nibble);
        result = Select(irregular, rowHalf, result);
        converted = _mm_or_si128(converted, irregular);
        // The solidus keeps both bytes: '/' '/'.
        result = Select(_mm_or_si128(solidus, _mm_slli_si128(solidus, 1)), _mm_set1_epi8('/'), result);
        const unsigned shrunk = static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(solidus, converted)));
        const unsigned keep = ~(shrunk << 1) & ((1u << length) - 1);

        const unsigned low = keep & 0xFFu;
        const unsigned high = keep >> 8;
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out),
            _mm_shuffle_epi8(result, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPack.control[0][low]))));
        out += kPack.kept[low];
        _mm_storeu_si128(
            reinterpret_cast<__m128i*>(out),
            _mm_shuffle_epi8(result, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPack.control[1][high]))));
        out += kPack.kept[high];
        i += length;
    }
    return i;
}

#if defined(TORNIX_AVX512_KERNELS)

#define TORNIX_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt")))

// Controls that interleave two vectors, a first bytes and b second bytes,
// into byte pairs: those of bytes 0..31 and those of bytes 32..63.
struct InterleaveTable {
    std::uint8_t index[2][64]{};
};

constexpr InterleaveTable MakeInterleaveTable() {
    InterleaveTable table{};
    for (int half = 0; half < 2; ++half) {
        for (int n = 0; n < 64; ++n) table.index[half][n] = static_cast<std::uint8_t>(32 * half + n / 2 + (n % 2) * 64);
    }
    return table;
}

constexpr InterleaveTable kInterleave = MakeInterleaveTable();

// The two bytes ToFullWidth writes for each ASCII byte, as two lookup tables
// of 128 entries; the kernel uses them for the printable bytes only.
struct AsciiFormTable {
    std::uint8_t first[128]{};
    std::uint8_t second[128]{};
};

constexpr AsciiFormTable MakeAsciiFormTable() {
    AsciiFormTable table{};
    for (int byte = 0; byte < 128; ++byte) {
        table.first[byte] = Byte(kFull.full[byte], 0);
        table.second[byte] = Byte(kFull.full[byte], 1);
    }
    return table;
}

constexpr AsciiFormTable kAsciiForms = MakeAsciiFormTable();

TORNIX_AVX512 inline std::uint64_t InRange(__m512i block, unsigned char low, unsigned char span) {
    return _mm512_cmple_epu8_mask(_mm512_sub_epi8(block, _mm512_set1_epi8(static_cast<char>(low))),
                                  _mm512_set1_epi8(static_cast<char>(span)));
}

TORNIX_AVX512 inline std::uint64_t Equal(__m512i block, unsigned char byte) {
    return _mm512_cmpeq_epi8_mask(block, _mm512_set1_epi8(static_cast<char>(byte)));
}

// ToFullWidth 64 bytes at a time, of any text: the characters that start in a
// block are found from its bytes alone; every printable ASCII character
// becomes its two-byte form and every run of three spaces a full-width space,
// as byte pairs of which the unused bytes are packed out. A run of spaces that
// goes on past a block is converted on its own. Returns where it stopped near
// the end of the text, always on a character boundary.
TORNIX_AVX512 std::size_t FullWidthBlocks64(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    const __m512i firstPairs = _mm512_loadu_si512(kInterleave.index[0]);
    const __m512i lastPairs = _mm512_loadu_si512(kInterleave.index[1]);
    const __m512i firstLow = _mm512_loadu_si512(kAsciiForms.first);
    const __m512i firstHigh = _mm512_loadu_si512(kAsciiForms.first + 64);
    const __m512i secondLow = _mm512_loadu_si512(kAsciiForms.second);
    const __m512i secondHigh = _mm512_loadu_si512(kAsciiForms.second + 64);
    while (i + 65 <= size) {
        const __m512i block = _mm512_loadu_si512(in + i);
        const std::uint64_t starts = PairStarts(InRange(block, 0x81, 0x7D));
        unsigned stop = (starts >> 63) != 0 ? 63 : 64;  // a last character that goes on past the block waits
        // Any byte after a lead byte is its second byte, even a space.
        const std::uint64_t seconds = starts << 1;
        const std::uint64_t printable = InRange(block, 0x21, 0x5D) & ~seconds;
        const std::uint64_t spaces = Equal(block, ' ') & ~seconds;
        std::uint64_t heads = 0, dropped = 0;
        if (spaces != 0) PlanSpaceRuns(spaces, 64, stop == 64 && in[i + 64] == ' ', heads, dropped, stop);
        if (stop == 0) {  // a run of spaces from here past the block
            std::size_t run = 64;
            while (i + run < size && in[i + run] == ' ') ++run;
            out = EmitSpaceRun(out, run);
            i += run;
            continue;
        }
        const std::uint64_t taken = LowBits(stop);
        const std::uint64_t wide = (printable | heads) & taken;
        if (wide == 0) {  // nothing to convert
            _mm512_storeu_si512(out, block);
            out += stop;
            i += stop;
            continue;
        }

        // The forms looked up by the low seven bits of each byte.
        __m512i lead = _mm512_mask_mov_epi8(block, printable, _mm512_permutex2var_epi8(firstLow, block, firstHigh));
        __m512i trail = _mm512_permutex2var_epi8(secondLow, block, secondHigh);
        lead = _mm512_mask_mov_epi8(lead, heads, _mm512_set1_epi8(kWidthTable[0].full[0]));
        trail = _mm512_mask_mov_epi8(trail, heads, _mm512_set1_epi8(kWidthTable[0].full[1]));

        // Both bytes of a pair for a converted character, the first alone for
        // any other byte, neither for the spaces a full-width space replaces.
        const std::uint64_t kept = ~dropped & taken;
        for (unsigned half = 0; half < 2 && 32 * half < stop; ++half) {
            const std::uint64_t halfKept = kept >> (32 * half);
            const std::uint64_t keep =
                _pdep_u64(halfKept, kEvenBits) | _pdep_u64(halfKept & (wide >> (32 * half)), ~kEvenBits);
            const __m512i pairs = _mm512_permutex2var_epi8(lead, half == 0 ? firstPairs : lastPairs, trail);
            _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(keep, pairs));
            out += _mm_popcnt_u64(keep);
        }
        i += stop;
    }
    outRef = out;
    return i;
}

// ToHalfWidth 64 bytes at a time, as HalfWidthBlocks does it sixteen at a
// time, the bytes that go packed out by one compress.
TORNIX_AVX512 std::size_t HalfWidthBlocks64(const unsigned char* in, std::size_t i, std::size_t size, char*& outRef) {
    char* out = outRef;  // a local copy: stores through `outRef` could alias it
    // The nibble tables in each 16-byte lane (the masked form: GCC 12 warns
    // about the unmasked one).
    const __m512i rowTrails = _mm512_maskz_broadcast_i32x4(
        0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kIrregularByNibble.trail)));
    const __m512i rowHalves = _mm512_maskz_broadcast_i32x4(
        0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kIrregularByNibble.half)));
    while (i + 65 <= size) {
        const __m512i block = _mm512_loadu_si512(in + i);
        if (_mm512_movepi8_mask(block) == 0) {  // ASCII only: nothing to convert
            _mm512_storeu_si512(out, block);
            out += 64;
            i += 64;
            continue;
        }
        const std::uint64_t starts = PairStarts(InRange(block, 0x81, 0x7D));
        unsigned length = (starts >> 63) != 0 ? 63 : 64;  // a last character that goes on past the block waits
        std::uint64_t taken = LowBits(length);
        const std::uint64_t underA1 = starts & taken & Equal(block, 0xA1);
        const std::uint64_t underA3 = starts & taken & Equal(block, 0xA3);
        if ((underA1 | underA3) == 0) {
            _mm512_storeu_si512(out, block);
            out += length;
            i += length;
            continue;
        }
        const __m512i trail = _mm512_loadu_si512(in + i + 1);  // byte n: the byte after byte n
        const std::uint64_t grows = underA1 & Equal(trail, 0xA1);
        if (grows != 0) {
            length = static_cast<unsigned>(__builtin_ctzll(grows));
            if (length == 0) {  // the full-width space: three spaces, then on from after it
                std::memcpy(out, kHalf.forms[kHalf.leadSlot[0xA1] - 1][0xA1].bytes, 3);
                out += 3;
                i += 2;
                continue;
            }
            taken = LowBits(length);
        }

        std::uint64_t regular = InRange(trail, 0xA1, 0x5D);
        for (unsigned char noRow : kNoRowTrails) regular &= ~Equal(trail, noRow);
        const std::uint64_t converted = underA3 & taken & regular;
        const std::uint64_t solidus = converted & Equal(trail, kSolidusTrail);
        __m512i result = _mm512_mask_sub_epi8(block, converted, trail, _mm512_set1_epi8(static_cast<char>(0x80)));
        // The irregular rows, looked up by the low four bits of the second byte.
        const __m512i nibble = _mm512_and_si512(trail, _mm512_set1_epi8(0x0F));
        const std::uint64_t irregular =
            _mm512_mask_cmpeq_epi8_mask(underA1 & taken, trail, _mm512_shuffle_epi8(rowTrails, nibble));
        result = _mm512_mask_shuffle_epi8(result, irregular, rowHalves, nibble);
        // The solidus keeps both bytes: '/' '/'.
        result = _mm512_mask_mov_epi8(result, solidus | (solidus << 1), _mm512_set1_epi8('/'));
        const std::uint64_t keep = ~(((converted & ~solidus) | irregular) << 1) & taken;
        _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(keep, result));
        out += _mm_popcnt_u64(keep);
        i += length;
    }
    outRef = out;
    return i;
}

#undef TORNIX_AVX512

#endif

// Converts the ASCII text from boundary `i` on: in blocks where the processor
// allows, byte by byte across what the blocks leave.
inline std::size_t ConvertAsciiText(const unsigned char* in, std::size_t i, std::size_t size, char*& out) {
    const bool blocks = KernelLevel() >= Kernels::kSsse3;
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
    [[maybe_unused]] const Kernels kernels = KernelLevel();
#if defined(TORNIX_AVX512_KERNELS)
    if (kernels >= Kernels::kAvx512) i = FullWidthBlocks64(in, i, size, out);
#endif
#if defined(__SSE2__)
    while (kernels >= Kernels::kSse2 && i + 16 <= size) {
        const BlockScan scan = ScanBlock(in, i, size, out, AsciiMask);
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
    [[maybe_unused]] const Kernels kernels = KernelLevel();
#if defined(TORNIX_AVX512_KERNELS)
    if (kernels >= Kernels::kAvx512) i = HalfWidthBlocks64(in, i, size, out);
#endif
#if defined(__SSE2__)
    while (kernels >= Kernels::kSse2 && i + 33 <= size) {
        if (kernels >= Kernels::kSsse3) {
            i = HalfWidthBlocks(in, i, size, out);
            if (i + 33 > size) break;
        }
        i = HalfWidthBlock(in, i, out);
    }
    while (kernels >= Kernels::kSse2 && i + 16 <= size) {
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
std::size_t ToFullWidthBound(std::string_view text) {
    return text.size() + CountInRange(text, 0x21, 0x5D) + kSlack;
}

// ToHalfWidth output grows only where U+3000 (two equal bytes) becomes three
// spaces, so half the count of that byte bounds the growth.
std::size_t ToHalfWidthBound(std::string_view text) {
    const auto spaceByte = static_cast<unsigned char>(kWidthTable[0].full[0]);
    return text.size() + CountInRange(text, spaceByte, 0) / 2 + kSlack;
}

std::size_t ToFullWidthBoundForSize(std::size_t size) {
    return 2 * size + kSlack;
}

std::size_t ToHalfWidthBoundForSize(std::size_t size) {
    return size + size / 2 + kSlack;
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
