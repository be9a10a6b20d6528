// The conversion policy: which characters a width conversion changes, as a
// plain value that the conversions of width_converter.h and WidthStream take.
//
//   table    WidthTableKind::kClassic, the window's 95 rows (width_table.h),
//            or kUnicode, the Unicode width forms;
//   classes  the kinds of character that convert, by the half-width side of
//            their row: letters (A-Z, a-z), digits (0-9), punctuation and
//            symbols (the other printable ASCII characters), space;
//   keep     characters that stay as they are, in both directions, as code
//            page 936 text: "a" keeps a when converting to full width, "ａ"
//            keeps ａ when converting to half width;
//   context  punctuation converts by its neighbours (width_context.h): to
//            full width only where a CJK character stands next to it, to
//            half width only where none does. Letters, digits and space
//            follow their classes alone.
//
// The default value is the window's conversion, byte for byte: the classic
// table, every class, nothing kept, no context.
//
// Example: {kUnicode, kWidthPunctuation, "", true} makes "你好,世界. a.b"
// «你好，世界． a.b» to full width.
#pragma once

#include <string>

#include "convert/width_table.h"

namespace tornix {

// The classes, as bits of WidthPolicy::classes.
inline constexpr unsigned kWidthLetters = 1u << 0;
inline constexpr unsigned kWidthDigits = 1u << 1;
inline constexpr unsigned kWidthPunctuation = 1u << 2;
inline constexpr unsigned kWidthSpace = 1u << 3;
inline constexpr unsigned kAllWidthClasses = kWidthLetters | kWidthDigits | kWidthPunctuation | kWidthSpace;

// The class of an ASCII character from the space to ~; 0 for any other byte.
constexpr unsigned WidthClassOf(unsigned char ascii) {
    if (ascii == ' ') return kWidthSpace;
    if (ascii >= '0' && ascii <= '9') return kWidthDigits;
    if ((ascii >= 'A' && ascii <= 'Z') || (ascii >= 'a' && ascii <= 'z')) return kWidthLetters;
    return ascii > ' ' && ascii <= '~' ? kWidthPunctuation : 0;
}

struct WidthPolicy {
    WidthTableKind table = WidthTableKind::kClassic;
    unsigned classes = kAllWidthClasses;
    std::string keep;  // code page 936 text; its characters stay as they are
    bool context = false;

    // True for the window's conversion.
    bool IsDefault() const {
        return table == WidthTableKind::kClassic && classes == kAllWidthClasses && keep.empty() && !context;
    }
};

// The characters that --keep-chinese-punctuation keeps when converting to
// half width, as code page 936 text: ，。！？；：、（）《》“”‘’ and U+3000.
extern const char* const kChinesePunctuation;

}  // namespace tornix
