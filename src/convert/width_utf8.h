// ToFullWidth and ToHalfWidth of UTF-8 text, by kernels of their own.
//
// Semantics: for every byte string `u`, the result is the UTF-8 of the code
// page 936 conversion of u's GB18030 form, that is
//   EncodeText(ToFullWidth(GbkString(DecodeText(u, utf8))), utf8)
// (transcode.h), and the same with ToHalfWidth. In Unicode terms, the 95
// rows of kWidthTable give:
//   - to full width: ! .. ~ become U+FF01 .. U+FF5E, except that . becomes
//     U+3002 (。); each three spaces in a row become U+3000;
//   - to half width: U+FF01 .. U+FF5E become ! .. ~, except that U+FF0E (．)
//     stays and U+FF0F (／) becomes "//"; U+3002 becomes .; U+3000 becomes
//     three spaces.
// Everything else stays as it is. A byte that is no part of a valid UTF-8
// character (strict: no overlong forms, surrogates, or values above
// U+10FFFF) is copied as it is and is a character of its own: it never takes
// the ASCII byte after it.
//
// Example: "Hello, World!" gives «Ｈｅｌｌｏ， Ｗｏｒｌｄ！» in UTF-8, and
// «ａ。ｂ／» gives "a.b//".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tornix {

std::string ToFullWidthUtf8(std::string_view text);
std::string ToHalfWidthUtf8(std::string_view text);

// The same conversions into a caller's buffer, as the ...Into functions of
// width.h: `out` must hold at least the Bound() bytes for the same text (or
// the BoundForSize() bytes for its size); the end of the written bytes is
// returned. Converting a text piece by piece gives the whole-text result when
// no cut falls inside a valid UTF-8 character or, for ToFullWidthUtf8,
// inside a run of spaces.
std::size_t ToFullWidthUtf8Bound(std::string_view text);
char* ToFullWidthUtf8Into(std::string_view text, char* out);
std::size_t ToHalfWidthUtf8Bound(std::string_view text);
char* ToHalfWidthUtf8Into(std::string_view text, char* out);

std::size_t ToFullWidthUtf8BoundForSize(std::size_t size);
std::size_t ToHalfWidthUtf8BoundForSize(std::size_t size);

}  // namespace tornix
