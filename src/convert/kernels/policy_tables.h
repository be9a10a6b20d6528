// A conversion policy (convert/width_policy.h) as the kernels read it: which
// characters convert always and which by context, as sets that the vector
// kernels look up a block at a time, and the forms of the policy's table.
// CompilePolicy builds it once per policy; data only, as width_tables.h.
#pragma once

#include <cstdint>

#include "convert/width_policy.h"
#include "utf8_tables.h"
#include "width_tables.h"

namespace tornix::kernels {

// A set of ASCII characters as a byte shuffle looks it up: the character
// h << 4 | l (h below 8) is in it where bit h of low[l] is set.
struct AsciiSet {
    std::uint8_t low[16]{};
};

constexpr bool Contains(const AsciiSet& set, unsigned character) {
    return character < 0x80 && ((set.low[character & 15] >> (character >> 4)) & 1) != 0;
}

// What the entries of an AsciiSet are tested against, by a byte's high half:
// bit h for h below 8, nothing for the bytes from 0x80 on.
inline constexpr std::uint8_t kHighHalfBits[16] = {1, 2, 4, 8, 16, 32, 64, 128};

// Of the characters a kernel can convert, those that convert whatever
// stands around them, and those that convert by context (punctuation, when
// the policy asks for context); the others are kept.
enum class Rule : std::uint8_t { kKeep, kConvert, kByContext };

// The same by byte, for the plain loops and the vector types without a byte
// shuffle: 1 for kConvert, 2 for kByContext.
struct ConvertSets {
    AsciiSet always;
    AsciiSet byContext;
    std::uint8_t rules[256]{};
};

constexpr Rule RuleOf(const ConvertSets& sets, unsigned char character) {
    return static_cast<Rule>(sets.rules[character]);
}

// What spaces become to full width: kept; each three a U+3000 (classic);
// each a U+3000 (Unicode).
enum class SpaceRule : std::uint8_t { kKept, kTriples, kSingles };

// A row whose UTF-8 form begins E3 80: the full-width space, and in the
// classic table 。; by its third byte.
struct Utf8IrregularForm {
    unsigned char third = 0;
    unsigned char half = 0;  // the byte its half-width form repeats
    std::uint8_t length = 0;
};

// The punctuation under 0xA1: 。 ～ ＄ (classic), ～ ＄ (Unicode).
inline constexpr int kMaxA1Marks = 3;

struct PolicyTables {
    WidthTableKind table = WidthTableKind::kClassic;
    bool context = false;
    // To full width, by ASCII character; the space by its own rule. The
    // plain loops write from the forms: those of the characters that
    // convert, always or by context, and the others as they are.
    ConvertSets full;
    SpaceRule fullSpaces = SpaceRule::kTriples;
    FullTable fullForms;
    Utf8FullTable utf8FullForms;
    // To half width, by each row's ASCII character (its half-width form's
    // first byte, the space included), and the same for the forms that the
    // block kernels find by rule: those under 0xA3 (second byte 0x80 + c)
    // and the UTF-8 forms U+FEE0 + c.
    ConvertSets half;
    ConvertSets halfUnderA3;
    ConvertSets halfUtf8Regular;
    // The rows under 0xA1 as A1FormsByNibble has them, those kept taken
    // out; the second bytes of those that convert by context.
    A1FormsByNibble a1;
    unsigned char a1ByContext[kMaxA1Marks]{};
    int a1ByContextCount = 0;
    std::uint8_t solidusExtra = 0;  // 1 where ／ becomes two solidi
    Utf8IrregularForm utf8Irregular[kUtf8IrregularRows];
    int utf8IrregularCount = 0;
};

PolicyTables CompilePolicy(const WidthPolicy& policy);

// The forms of each table, for the plain steps.
constexpr const FullTable& FullFormsOf(WidthTableKind kind) {
    return kind == WidthTableKind::kClassic ? kFull : kUnicodeFull;
}
constexpr const HalfTable& HalfFormsOf(WidthTableKind kind) {
    return kind == WidthTableKind::kClassic ? kHalf : kUnicodeHalf;
}
constexpr const Utf8FullTable& Utf8FullFormsOf(WidthTableKind kind) {
    return kind == WidthTableKind::kClassic ? kUtf8Full : kUnicodeUtf8Full;
}
constexpr const Utf8HalfTable& Utf8HalfFormsOf(WidthTableKind kind) {
    return kind == WidthTableKind::kClassic ? kUtf8Half : kUnicodeUtf8Half;
}
constexpr const FullSpecials& FullSpecialsOf(WidthTableKind kind) {
    return kind == WidthTableKind::kClassic ? kFullSpecialForms : kUnicodeFullSpecialForms;
}

}  // namespace tornix::kernels
