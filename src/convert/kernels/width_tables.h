// The tables the width kernels work from, all derived from kWidthTable at
// compile time, and the shape of that table the kernels rely on, checked by
// static_assert. Data only: the routines that use the tables are in
// width_steps.h and the kernel files, compiled once per instruction set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "convert/width_table.h"

namespace tornix::kernels {

constexpr std::size_t LiteralLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

constexpr unsigned char Byte(const char* text, std::size_t index) {
    return static_cast<unsigned char>(text[index]);
}

// Room the kernels may write past the end of what they have converted: block
// stores reach at most 32 bytes past it (64-byte stores are made only while
// more than 64 bytes of input remain, each of which takes an output byte).
inline constexpr std::size_t kSlack = 32;

// What ToFullWidth writes for each ASCII byte: the full-width form of each
// printable one (rows 2..95); the space, which only a run of three changes
// (row 1), and the control bytes as they are. Length 0 (bytes of 0x80 and
// more) ends an ASCII run. (The same of the Unicode table: kUnicodeFull.)
struct FullTable {
    char full[256][2]{};
    std::uint8_t length[256]{};
};

constexpr FullTable MakeFullTable(WidthTableKind kind) {
    FullTable table{};
    const WidthPair* rows = WidthRows(kind);
    for (int row = 1; row < kWidthTableRows; ++row) {
        const unsigned char half = Byte(rows[row].half, 0);
        table.full[half][0] = rows[row].full[0];
        table.full[half][1] = rows[row].full[1];
        table.length[half] = 2;
    }
    for (int byte = 0; byte < 0x80; ++byte) {
        if (table.length[byte] != 0) continue;
        table.full[byte][0] = static_cast<char>(byte);
        table.length[byte] = 1;
    }
    return table;
}

inline constexpr FullTable kFull = MakeFullTable(WidthTableKind::kClassic);
inline constexpr FullTable kUnicodeFull = MakeFullTable(WidthTableKind::kUnicode);

struct HalfForm {
    std::uint8_t length;
    char bytes[3];
};

// The table has full-width forms under two lead bytes only.
inline constexpr int kMaxFullLeads = 2;
inline constexpr unsigned char kFullFormLeads[kMaxFullLeads] = {0xA1, 0xA3};

// What ToHalfWidth writes for each character under the two lead bytes: its
// half-width form, or the character itself when it has no row.
struct HalfTable {
    std::uint8_t leadSlot[256]{};  // 1-based index into forms, 0 for other lead bytes
    HalfForm forms[kMaxFullLeads][256]{};
};

constexpr HalfTable MakeHalfTable(WidthTableKind kind) {
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
        const unsigned char lead = Byte(WidthRows(kind)[row].full, 0);
        const unsigned char trail = Byte(WidthRows(kind)[row].full, 1);
        HalfForm& form = table.forms[table.leadSlot[lead] - 1][trail];
        const char* half = HalfOfRow(kind, row);
        form.length = static_cast<std::uint8_t>(LiteralLength(half));
        for (std::size_t i = 0; i < form.length; ++i) form.bytes[i] = half[i];
    }
    return table;
}

inline constexpr HalfTable kHalf = MakeHalfTable(WidthTableKind::kClassic);
inline constexpr HalfTable kUnicodeHalf = MakeHalfTable(WidthTableKind::kUnicode);

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
        if (row > 0 && LiteralLength(HalfOfRow(WidthTableKind::kClassic, row)) > 2) return false;
    }
    // The block kernels convert every byte from '!' to '~'.
    for (int byte = 0x21; byte <= 0x7E; ++byte) {
        if (kFull.length[byte] != 2) return false;
    }
    return Byte(kWidthTable[0].full, 0) == Byte(kWidthTable[0].full, 1);
}
static_assert(TableHasExpectedShape(), "the conversion kernels assume this table shape");

// The full-width space, U+3000: ToFullWidth writes it for three spaces.
inline constexpr unsigned char kFullSpaceLead = Byte(kWidthTable[0].full, 0);
inline constexpr unsigned char kFullSpaceTrail = Byte(kWidthTable[0].full, 1);

// ---- ToFullWidth in blocks ----

// Most printable ASCII bytes c have the form 0xA3, c + 0x80. The bytes whose
// form differs ($ . ~, and the space, whose form the blocks write for the
// first of three) are the special ones, told apart by a class bit that the
// vector kernels look up from the byte's two halves: class bit k is set in
// low[c & 15] and high[c >> 4] only for the k-th special byte c.
inline constexpr unsigned char kRegularFullLead = 0xA3;
inline constexpr unsigned char kRegularFullOffset = 0x80;
inline constexpr int kFullSpecials = 4;

struct FullSpecials {
    unsigned char ascii[kFullSpecials]{};
    unsigned char lead[kFullSpecials]{};
    unsigned char trail[kFullSpecials]{};
    int count = 0;
    // Looked up by nibble: the class bits, and by class the form's lead byte
    // and what to add to the ASCII byte for its trail byte.
    std::uint8_t lowClass[16]{};
    std::uint8_t highClass[16]{};
    std::uint8_t leadByClass[16]{};
    std::uint8_t trailOffsetByClass[16]{};
};

constexpr FullSpecials FindFullSpecials(const FullTable& forms) {
    FullSpecials found{};
    for (int byte = 0x20; byte <= 0x7E; ++byte) {
        const bool space = byte == ' ';
        const unsigned char lead = space ? kFullSpaceLead : Byte(forms.full[byte], 0);
        const unsigned char trail = space ? kFullSpaceTrail : Byte(forms.full[byte], 1);
        if (lead == kRegularFullLead && trail == static_cast<unsigned char>(byte + kRegularFullOffset)) continue;
        if (found.count < kFullSpecials) {
            const int k = found.count;
            found.ascii[k] = static_cast<unsigned char>(byte);
            found.lead[k] = lead;
            found.trail[k] = trail;
        }
        ++found.count;
    }
    for (int cls = 0; cls < 16; ++cls) {
        found.leadByClass[cls] = kRegularFullLead;
        found.trailOffsetByClass[cls] = kRegularFullOffset;
    }
    for (int k = 0; k < kFullSpecials && k < found.count; ++k) {
        found.lowClass[found.ascii[k] & 0x0F] |= static_cast<std::uint8_t>(1 << k);
        found.highClass[found.ascii[k] >> 4] |= static_cast<std::uint8_t>(1 << k);
        found.leadByClass[1 << k] = found.lead[k];
        found.trailOffsetByClass[1 << k] = static_cast<std::uint8_t>(found.trail[k] - found.ascii[k]);
    }
    return found;
}

inline constexpr FullSpecials kFullSpecialForms = FindFullSpecials(kFull);
static_assert(kFullSpecialForms.count == kFullSpecials, "the block kernels handle exactly these special forms");
// The Unicode table's: the full stop is regular there (0xA3AE).
inline constexpr FullSpecials kUnicodeFullSpecialForms = FindFullSpecials(kUnicodeFull);
static_assert(kUnicodeFullSpecialForms.count == kFullSpecials - 1, "the Unicode table has one special form less");

// Shuffle controls that pack the bytes whose bits are set in an 8-bit mask,
// out of the low or the high eight bytes of a 16-byte vector, to the front;
// and how many bits each mask has.
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

inline constexpr PackTable kPack = MakePackTable();

// Shuffle controls for the common case where only second bytes are dropped:
// eight byte pairs in, the second byte of each pair whose bit is set left out.
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

inline constexpr CompactTable kCompact = MakeCompactTable();

// ---- ToHalfWidth in blocks ----

// The single-character rows whose full-width form is not 0xA3, c + 0x80.
inline constexpr int kIrregularRows = 3;
struct IrregularRows {
    WidthPair rows[kIrregularRows]{};
    int count = 0;
};

constexpr IrregularRows FindIrregularRows() {
    IrregularRows found{};
    for (int row = 1; row < kWidthTableRows; ++row) {
        const unsigned char half = Byte(kWidthTable[row].half, 0);
        if (Byte(kWidthTable[row].full, 0) == kRegularFullLead &&
            Byte(kWidthTable[row].full, 1) == half + kRegularFullOffset) {
            continue;
        }
        if (found.count < kIrregularRows) found.rows[found.count] = kWidthTable[row];
        ++found.count;
    }
    return found;
}

inline constexpr IrregularRows kIrregular = FindIrregularRows();
static_assert(kIrregular.count == kIrregularRows, "the block conversion handles exactly these rows");

// The full-width forms as the block conversion to half width sees them: under
// 0xA3, trail t in 0xA1..0xFE is the form of t - 0x80, except three trails
// without a row and the solidus, which becomes two; under 0xA1, the space
// (which grows to three bytes) and the irregular rows.
inline constexpr unsigned char kNoRowTrails[] = {0xA4, 0xAE, 0xFE};
inline constexpr unsigned char kSolidusTrail = 0xAF;

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
        if (trail == kFullSpaceTrail) {
            if (a1.length != 3) return false;
        } else if (!irregular && (a1.length != 2 || Byte(a1.bytes, 1) != trail)) {
            return false;
        }
    }
    for (const WidthPair& row : kIrregular.rows) {
        if (Byte(row.full, 0) != 0xA1) return false;
    }
    return kFullSpaceLead == 0xA1 && kFullSpaceTrail == 0xA1;
}
static_assert(HalfFormsFollowTheBlockRule(), "the block conversion to half width assumes these forms");

// The second bytes under 0xA3 that have no row, looked up by the byte's two
// halves as the 16- and 32-byte conversion to half width does: the byte has
// no row where low[t & 15] & high[t >> 4] is not zero. One class bit per set
// of high halves that leave out the same low halves.
struct NibbleClasses {
    std::uint8_t low[16]{};
    std::uint8_t high[16]{};
    int classes = 0;
};

constexpr bool HasRowUnderA3(int trail) {
    const HalfForm& form = kHalf.forms[kHalf.leadSlot[0xA3] - 1][trail];
    return form.length != 2 || Byte(form.bytes, 0) != 0xA3 || Byte(form.bytes, 1) != trail;
}

constexpr NibbleClasses MakeNoRowUnderA3() {
    NibbleClasses table{};
    unsigned lows[16]{};  // by high half: the low halves without a row
    for (int trail = 0; trail < 256; ++trail) {
        if (!HasRowUnderA3(trail)) lows[trail >> 4] |= 1u << (trail & 15);
    }
    unsigned classLows[16]{};
    for (int high = 0; high < 16; ++high) {
        if (lows[high] == 0) continue;
        int cls = 0;
        while (cls < table.classes && classLows[cls] != lows[high]) ++cls;
        if (cls == table.classes) classLows[table.classes++] = lows[high];
        if (cls >= 8) continue;
        table.high[high] |= static_cast<std::uint8_t>(1u << cls);
        for (int low = 0; low < 16; ++low) {
            if ((lows[high] >> low) & 1) table.low[low] |= static_cast<std::uint8_t>(1u << cls);
        }
    }
    return table;
}

inline constexpr NibbleClasses kNoRowUnderA3 = MakeNoRowUnderA3();

constexpr bool NoRowUnderA3IsExact() {
    if (kNoRowUnderA3.classes > 8) return false;
    for (int trail = 0; trail < 256; ++trail) {
        const bool noRow = (kNoRowUnderA3.low[trail & 15] & kNoRowUnderA3.high[trail >> 4]) != 0;
        if (noRow == HasRowUnderA3(trail)) return false;
    }
    return true;
}
static_assert(NoRowUnderA3IsExact(), "eight class bits must tell the second bytes under 0xA3 apart");

// The forms under 0xA1 that have a row (the irregular ones and the
// full-width space) told apart by the low four bits of their second byte, as
// the 16- and 32-byte conversion to half width looks them up: the second
// byte a row has there, the byte its half-width form repeats, and how many
// more times than once that form writes it (two for the space's three).
struct A1FormsByNibble {
    std::uint8_t trail[16]{};
    std::uint8_t half[16]{};
    std::uint8_t extra[16]{};
    bool distinct = true;
};

constexpr A1FormsByNibble MakeA1FormsByNibble(WidthTableKind kind) {
    A1FormsByNibble table{};
    bool taken[16]{};
    // Where no row is, a byte whose low bits differ from the place: no match.
    for (unsigned nibble = 0; nibble < 16; ++nibble) table.trail[nibble] = static_cast<std::uint8_t>(nibble ^ 1);
    for (int row = 0; row < kWidthTableRows; ++row) {
        const unsigned char lead = Byte(WidthRows(kind)[row].full, 0);
        const unsigned char trail = Byte(WidthRows(kind)[row].full, 1);
        if (lead != 0xA1) continue;
        const unsigned nibble = trail & 0x0F;
        if (taken[nibble]) table.distinct = false;
        taken[nibble] = true;
        const char* half = HalfOfRow(kind, row);
        table.trail[nibble] = trail;
        table.half[nibble] = Byte(half, 0);
        table.extra[nibble] = static_cast<std::uint8_t>(LiteralLength(half) - 1);
        for (std::size_t i = 1; i < LiteralLength(half); ++i) {
            if (half[i] != half[0]) table.distinct = false;  // a form the kernels cannot write by repeating
        }
    }
    return table;
}

inline constexpr A1FormsByNibble kA1Forms = MakeA1FormsByNibble(WidthTableKind::kClassic);
static_assert(kA1Forms.distinct, "the rows under 0xA1 need distinct low four bits and forms of one repeated byte");
inline constexpr A1FormsByNibble kUnicodeA1Forms = MakeA1FormsByNibble(WidthTableKind::kUnicode);
static_assert(kUnicodeA1Forms.distinct, "the Unicode rows under 0xA1 need the same shape");

// Shuffle controls that write each of four bytes of a 16-byte vector 0 to 3
// times in order, the count of the k-th in bits 2k and 2k + 1 of the index:
// for the four bytes from 4 * place on. At most twelve bytes are written, so
// the control's last byte holds how many (and puts a byte past them, which
// the next write covers).
struct CountedTable {
    std::uint8_t control[4][256][16]{};
};

constexpr CountedTable MakeCountedTable() {
    CountedTable table{};
    for (int place = 0; place < 4; ++place) {
        for (int index = 0; index < 256; ++index) {
            std::uint8_t* control = table.control[place][index];
            int written = 0;
            for (int k = 0; k < 4; ++k) {
                for (int copy = 0; copy < ((index >> (2 * k)) & 3); ++copy) {
                    control[written++] = static_cast<std::uint8_t>(4 * place + k);
                }
            }
            control[15] = static_cast<std::uint8_t>(written);
            while (written < 15) control[written++] = 0x80;  // zero
        }
    }
    return table;
}

inline constexpr CountedTable kCounted = MakeCountedTable();

}  // namespace tornix::kernels
