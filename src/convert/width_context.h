// Punctuation by context (WidthPolicy::context): what a CJK character is, and
// what stands next to a mark.
//
// A CJK character is one of the 20 902 unified ideographs U+4E00 .. U+9FA5,
// the hanzi that code page 936 holds: in code page 936 exactly the two-byte
// codes
//   81..A0 with a second byte 40..FE (not 7F)      GBK/3
//   B0..F7 with A1..FE, except D7FA..D7FE          GB 2312's hanzi
//   AA..FD with 40..A0 (not 7F), except FD9C..FDA0  GBK/4
// and in UTF-8 the three-byte characters E4 B8 80 .. E9 BE A5. Everything
// else is not: CJK punctuation, kana, the full-width forms, the ideographs of
// the extensions and the compatibility block (which code page 936 lacks or
// holds outside those codes), and the program's GB18030 four-byte forms. So
// a text and its GB18030 form agree on every character.
//
// Next to a mark stand the nearest character before it and the nearest
// after it, spaces (U+0020) skipped, in the text that is converted (the
// input, not what the conversion makes of its neighbours); at either end of
// the text there is none. Any other character stops the search, line breaks
// and U+3000 included. A text converted in pieces gives the same result when
// each piece is told what stands beyond its two ends (ContextEdges).
//
// Example, to full width with punctuation by context: "你好,世界." gives
// «你好，世界。», while "3.14", "a.b/c" and "Hello, World!" stay as they are.
#pragma once

#include <cstddef>

namespace tornix {

// What stands beyond the ends of a piece of text, for a policy with context:
// whether the nearest character before its start, and the nearest after its
// end, spaces skipped, are CJK characters.
struct ContextEdges {
    bool cjkBefore = false;
    bool cjkAfter = false;
};

// Whether a code page 936 two-byte character is a CJK character.
constexpr bool IsCjkPair(unsigned char lead, unsigned char trail) {
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
    if (lead >= 0x81 && lead <= 0xA0) return true;
    if (lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1) return !(lead == 0xD7 && trail >= 0xFA);
    if (lead >= 0xAA && lead <= 0xFD && trail <= 0xA0) return !(lead == 0xFD && trail >= 0x9C);
    return false;
}

// Whether the three bytes at `at` are the UTF-8 of a CJK character.
constexpr bool IsCjkUtf8(const unsigned char* at) {
    if (at[0] < 0xE4 || at[0] > 0xE9 || (at[1] & 0xC0) != 0x80 || (at[2] & 0xC0) != 0x80) return false;
    const unsigned character = (at[0] & 0x0Fu) << 12 | (at[1] & 0x3Fu) << 6 | (at[2] & 0x3Fu);
    return character >= 0x4E00 && character <= 0x9FA5;
}

}  // namespace tornix
