// The tables the UTF-8 width kernels work from, derived at compile time from
// kWidthTable and the Unicode characters of its full-width forms, and the
// shape of those forms that the block kernels rely on, checked by
// static_assert. Data only, as width_tables.h.
//
// The UTF-8 conversions give, for every UTF-8 text, the UTF-8 of the code
// page 936 conversion of the text's GB18030 form (transcode.h). In UTF-8 that
// comes down to bytes alone: an ASCII byte is always a character of its own,
// whatever comes before it (a byte that is no part of a valid character is
// kept as it is, and never takes the byte after it), and a table row's
// full-width form is a three-byte character whose first byte no other
// character's bytes can hold. So no kernel needs to validate the text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "width_tables.h"

namespace tornix::kernels {

// Code page 936's characters for the codes that hold the table's full-width
// forms: the 0xA3 row is U+FF01..U+FF5E in order, except 0xA3A4 (￥) and
// 0xA3FE (￣); four codes of the 0xA1 row. The test of the UTF-8 kernels
// checks this against the platform's code page 936 converter, row by row.
struct CodePage936Character {
    std::uint16_t code;
    char32_t character;
};

inline constexpr CodePage936Character kFullFormCharacters[] = {
    {0xA1A1, 0x3000},  // 　
    {0xA1A3, 0x3002},  // 。
    {0xA1AB, 0xFF5E},  // ～
    {0xA1E7, 0xFF04},  // ＄
    {0xA3A4, 0xFFE5},  // ￥
    {0xA3FE, 0xFFE3},  // ￣
};

constexpr char32_t CodePage936CharacterOf(unsigned char lead, unsigned char trail) {
    for (const CodePage936Character& known : kFullFormCharacters) {
        if (known.code == (lead << 8 | trail)) return known.character;
    }
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return 0xFF01 + (trail - 0xA1);
    return 0;  // no code the table uses
}

constexpr char32_t FullFormCharacter(int row, WidthTableKind kind = WidthTableKind::kClassic) {
    const WidthPair& pair = WidthRows(kind)[row];
    return CodePage936CharacterOf(Byte(pair.full, 0), Byte(pair.full, 1));
}

struct Utf8Form {
    char bytes[4]{};
    std::uint8_t length = 0;
};

constexpr Utf8Form EncodeUtf8(char32_t character) {
    Utf8Form form{};
    auto put = [&form](unsigned value) { form.bytes[form.length++] = static_cast<char>(value); };
    if (character < 0x80) {
        put(character);
    } else if (character < 0x800) {
        put(0xC0 | character >> 6);
        put(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        put(0xE0 | character >> 12);
        put(0x80 | (character >> 6 & 0x3F));
        put(0x80 | (character & 0x3F));
    } else {
        put(0xF0 | character >> 18);
        put(0x80 | (character >> 12 & 0x3F));
        put(0x80 | (character >> 6 & 0x3F));
        put(0x80 | (character & 0x3F));
    }
    return form;
}

// ---- ToFullWidth of UTF-8 ----

// What the UTF-8 ToFullWidth writes for each byte: the UTF-8 of the
// full-width form of each printable ASCII byte, every other byte as it is
// (runs of spaces apart).
struct Utf8FullTable {
    char form[256][4]{};
    std::uint8_t length[256]{};
};

constexpr Utf8FullTable MakeUtf8FullTable(WidthTableKind kind) {
    Utf8FullTable table{};
    for (int byte = 0; byte < 256; ++byte) {
        table.form[byte][0] = static_cast<char>(byte);
        table.length[byte] = 1;
    }
    for (int row = 1; row < kWidthTableRows; ++row) {
        const unsigned char half = Byte(WidthRows(kind)[row].half, 0);
        const Utf8Form form = EncodeUtf8(FullFormCharacter(row, kind));
        for (int i = 0; i < 4; ++i) table.form[half][i] = form.bytes[i];
        table.length[half] = form.length;
    }
    return table;
}

inline constexpr Utf8FullTable kUtf8Full = MakeUtf8FullTable(WidthTableKind::kClassic);
inline constexpr Utf8FullTable kUnicodeUtf8Full = MakeUtf8FullTable(WidthTableKind::kUnicode);

// Three spaces become U+3000, three bytes in UTF-8 too: a run of spaces is
// converted in place.
inline constexpr Utf8Form kUtf8FullSpace = EncodeUtf8(FullFormCharacter(0));

// Most rows' full-width forms are U+FEE0 + c for the ASCII byte c, in UTF-8
// EF, BC or BD, 0x80 | ((c + 0x20) & 0x3F): the regular forms, which the
// block kernels compute. The others are the irregular rows.
inline constexpr char32_t kRegularFullBase = 0xFEE0;
inline constexpr unsigned char kRegularFirst = 0xEF;
inline constexpr unsigned char kRegularSecondLow = 0xBC;  // for c below kRegularSecondStep
inline constexpr unsigned char kRegularSecondHigh = 0xBD;
inline constexpr unsigned char kRegularSecondStep = 0x60;
inline constexpr unsigned char kRegularThirdOffset = 0x20;

constexpr bool IsRegularRow(int row) {
    return row > 0 && FullFormCharacter(row) == kRegularFullBase + Byte(kWidthTable[row].half, 0);
}

inline constexpr int kUtf8IrregularRows = 2;  // the space row and one more

struct Utf8IrregularRows {
    unsigned char ascii[kUtf8IrregularRows]{};  // 0 for the space row (three spaces)
    Utf8Form full[kUtf8IrregularRows]{};
    const char* half[kUtf8IrregularRows]{};
    int count = 0;
};

constexpr Utf8IrregularRows FindUtf8IrregularRows() {
    Utf8IrregularRows found{};
    for (int row = 0; row < kWidthTableRows; ++row) {
        if (IsRegularRow(row)) continue;
        if (found.count < kUtf8IrregularRows) {
            found.ascii[found.count] = row == 0 ? 0 : Byte(kWidthTable[row].half, 0);
            found.full[found.count] = EncodeUtf8(FullFormCharacter(row));
            found.half[found.count] = HalfOfRow(WidthTableKind::kClassic, row);
        }
        ++found.count;
    }
    return found;
}

inline constexpr Utf8IrregularRows kUtf8Irregular = FindUtf8IrregularRows();

// The shape the block kernels rely on, checked against the table.
constexpr bool Utf8FormsHaveExpectedShape() {
    for (int row = 0; row < kWidthTableRows; ++row) {
        if (FullFormCharacter(row) == 0) return false;  // a code missing from kFullFormCharacters
        if (EncodeUtf8(FullFormCharacter(row)).length != 3) return false;
    }
    // The regular forms as the kernels compute them.
    for (unsigned c = 0x21; c <= 0x7E; ++c) {
        const Utf8Form form = EncodeUtf8(kRegularFullBase + c);
        const unsigned char second = c < kRegularSecondStep ? kRegularSecondLow : kRegularSecondHigh;
        if (form.length != 3 || Byte(form.bytes, 0) != kRegularFirst || Byte(form.bytes, 1) != second ||
            Byte(form.bytes, 2) != (0x80 | ((c + kRegularThirdOffset) & 0x3F))) {
            return false;
        }
    }
    // The irregular rows: both under one pair of first bytes that no regular
    // form has, and the character of neither is a regular form.
    if (kUtf8Irregular.count != kUtf8IrregularRows || kUtf8Irregular.ascii[0] != 0) return false;
    for (const Utf8Form& form : kUtf8Irregular.full) {
        if (form.bytes[0] != kUtf8Irregular.full[0].bytes[0] || form.bytes[1] != kUtf8Irregular.full[0].bytes[1]) {
            return false;
        }
        if (Byte(form.bytes, 0) == kRegularFirst) return false;
    }
    // Their half-width forms are three spaces and one byte.
    return LiteralLength(kUtf8Irregular.half[0]) == 3 && LiteralLength(kUtf8Irregular.half[1]) == 1 &&
           kUtf8Irregular.half[0][1] == kUtf8Irregular.half[0][0] &&
           kUtf8Irregular.half[0][2] == kUtf8Irregular.half[0][0];
}
static_assert(Utf8FormsHaveExpectedShape(), "the UTF-8 kernels assume this shape of the full-width forms");

// The one printable ASCII byte whose form is irregular (the full stop), and
// the UTF-8 form its row has.
inline constexpr unsigned char kUtf8IrregularAscii = kUtf8Irregular.ascii[1];
inline constexpr Utf8Form kUtf8IrregularForm = kUtf8Irregular.full[1];
// The first two bytes of the irregular forms, and the third of each.
inline constexpr unsigned char kIrregularFirst = static_cast<unsigned char>(kUtf8Irregular.full[0].bytes[0]);
inline constexpr unsigned char kIrregularSecond = static_cast<unsigned char>(kUtf8Irregular.full[0].bytes[1]);

// ---- ToHalfWidth of UTF-8 ----

// What the UTF-8 ToHalfWidth writes for each three-byte character whose
// first two bytes some row's form has: its half-width form, or the character
// itself. Looked up by the first byte, then by the low six bits of the second
// and of the third.
inline constexpr int kUtf8FormFirsts = 2;  // EF, E3
inline constexpr int kUtf8FormGroups = 3;  // EF BC, EF BD, E3 80

struct Utf8HalfTable {
    std::uint8_t firstSlot[256]{};                   // 1-based, 0: no row's form begins with the byte
    std::uint8_t group[kUtf8FormFirsts][64]{};       // 1-based, 0: none
    HalfForm forms[kUtf8FormGroups][64]{};           // by the third byte
    unsigned char firstOfSlot[kUtf8FormFirsts]{};    // the first byte of each slot
    unsigned char secondOfGroup[kUtf8FormGroups]{};  // the second byte of each group
    int firsts = 0;
    int groups = 0;
};

constexpr Utf8HalfTable MakeUtf8HalfTable(WidthTableKind kind) {
    Utf8HalfTable table{};
    for (int row = 0; row < kWidthTableRows; ++row) {
        const Utf8Form full = EncodeUtf8(FullFormCharacter(row, kind));
        const unsigned char first = Byte(full.bytes, 0);
        const unsigned char second = Byte(full.bytes, 1);
        if (table.firstSlot[first] == 0) {
            if (table.firsts == kUtf8FormFirsts) return {};  // more than the table has room for
            table.firstOfSlot[table.firsts] = first;
            table.firstSlot[first] = static_cast<std::uint8_t>(++table.firsts);
        }
        std::uint8_t& group = table.group[table.firstSlot[first] - 1][second & 0x3F];
        if (group == 0) {
            if (table.groups == kUtf8FormGroups) return {};
            table.secondOfGroup[table.groups] = second;
            group = static_cast<std::uint8_t>(++table.groups);
            // Every character of the group starts as itself.
            for (int third = 0; third < 64; ++third) {
                table.forms[group - 1][third] = {3, {full.bytes[0], full.bytes[1], static_cast<char>(0x80 | third)}};
            }
        }
        HalfForm& form = table.forms[group - 1][Byte(full.bytes, 2) & 0x3F];
        const char* half = HalfOfRow(kind, row);
        form.length = static_cast<std::uint8_t>(LiteralLength(half));
        for (std::size_t i = 0; i < form.length; ++i) form.bytes[i] = half[i];
    }
    return table;
}

inline constexpr Utf8HalfTable kUtf8Half = MakeUtf8HalfTable(WidthTableKind::kClassic);
static_assert(kUtf8Half.firsts == kUtf8FormFirsts && kUtf8Half.groups == kUtf8FormGroups,
              "the UTF-8 forms lie under two first bytes and three pairs of first bytes");
inline constexpr Utf8HalfTable kUnicodeUtf8Half = MakeUtf8HalfTable(WidthTableKind::kUnicode);
static_assert(kUnicodeUtf8Half.firsts == kUtf8FormFirsts && kUnicodeUtf8Half.groups == kUtf8FormGroups,
              "the Unicode table's forms lie under the same first bytes");

// The shape the block conversion to half width relies on: a regular form
// becomes its ASCII byte, except that the solidus becomes two; the regular
// character of the irregular printable row (U+FF0E, ．) has no row and stays;
// no half-width form is longer than its full-width form.
constexpr bool Utf8HalfFormsFollowTheBlockRule() {
    for (unsigned c = 0x21; c <= 0x7E; ++c) {
        const Utf8Form full = EncodeUtf8(kRegularFullBase + c);
        const std::uint8_t group =
            kUtf8Half.group[kUtf8Half.firstSlot[Byte(full.bytes, 0)] - 1][Byte(full.bytes, 1) & 0x3F];
        const HalfForm& form = kUtf8Half.forms[group - 1][Byte(full.bytes, 2) & 0x3F];
        if (c == kUtf8IrregularAscii) {
            if (form.length != 3 || form.bytes[2] != full.bytes[2]) return false;
        } else if (c == Byte(kWidthTable[kSolidusRow].half, 0)) {
            if (form.length != 2 || form.bytes[0] != kSolidusHalf[0] || form.bytes[1] != kSolidusHalf[1]) return false;
        } else if (form.length != 1 || Byte(form.bytes, 0) != c) {
            return false;
        }
    }
    for (int k = 0; k < kUtf8IrregularRows; ++k) {
        if (LiteralLength(kUtf8Irregular.half[k]) > kUtf8Irregular.full[k].length) return false;
    }
    return kSolidusHalf[0] == kSolidusHalf[1];
}
static_assert(Utf8HalfFormsFollowTheBlockRule(), "the UTF-8 block conversion to half width assumes these forms");

inline constexpr unsigned char kSolidusAscii = Byte(kWidthTable[kSolidusRow].half, 0);

// ---- The 16- and 32-byte kernels ----

// Shuffle controls that write four lanes of a block from one 16-byte vector
// holding, for lane k, its first, second and third output byte at 4k, 4k + 1
// and 4k + 2: indexed by the lanes written (low four bits) and the lanes
// written as three bytes (high four bits); and how many bytes each writes.
struct TripleTable {
    std::uint8_t control[256][16]{};
    std::uint8_t length[256]{};
};

constexpr TripleTable MakeTripleTable() {
    TripleTable table{};
    for (int index = 0; index < 256; ++index) {
        int kept = 0;
        for (int lane = 0; lane < 4; ++lane) {
            if ((index >> lane & 1) == 0) continue;
            table.control[index][kept++] = static_cast<std::uint8_t>(4 * lane);
            if ((index >> (4 + lane) & 1) == 0) continue;
            table.control[index][kept++] = static_cast<std::uint8_t>(4 * lane + 1);
            table.control[index][kept++] = static_cast<std::uint8_t>(4 * lane + 2);
        }
        table.length[index] = static_cast<std::uint8_t>(kept);
        while (kept < 16) table.control[index][kept++] = 0x80;  // zero
    }
    return table;
}

inline constexpr TripleTable kTriples = MakeTripleTable();

// ---- The 64-byte kernels ----

// The three bytes the UTF-8 ToFullWidth writes for each printable ASCII
// byte, as 128-entry lookup tables.
struct Utf8AsciiFormTable {
    std::uint8_t first[128]{};
    std::uint8_t second[128]{};
    std::uint8_t third[128]{};
};

constexpr Utf8AsciiFormTable MakeUtf8AsciiFormTable() {
    Utf8AsciiFormTable table{};
    for (int byte = 0; byte < 128; ++byte) {
        table.first[byte] = Byte(kUtf8Full.form[byte], 0);
        table.second[byte] = Byte(kUtf8Full.form[byte], 1);
        table.third[byte] = Byte(kUtf8Full.form[byte], 2);
    }
    return table;
}

inline constexpr Utf8AsciiFormTable kUtf8AsciiForms = MakeUtf8AsciiFormTable();

// Permute indexes that lay lanes 16q..16q + 15 of three vectors out as four
// bytes a lane: the first and second bytes from two vectors (first), then
// the third from the third vector (third, at 4k + 2 only).
struct QuadIndexTable {
    std::uint8_t first[4][64]{};
    std::uint8_t third[4][64]{};
};

constexpr QuadIndexTable MakeQuadIndexTable() {
    QuadIndexTable table{};
    for (std::size_t quarter = 0; quarter < 4; ++quarter) {
        for (std::size_t lane = 0; lane < 16; ++lane) {
            const auto source = static_cast<std::uint8_t>(16 * quarter + lane);
            table.first[quarter][4 * lane] = source;
            table.first[quarter][4 * lane + 1] = static_cast<std::uint8_t>(64 + source);
            table.third[quarter][4 * lane + 2] = source;
        }
    }
    return table;
}

inline constexpr QuadIndexTable kQuadIndex = MakeQuadIndexTable();

}  // namespace tornix::kernels
