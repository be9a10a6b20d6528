// The width table and the two conversion routines.
//
// Semantics: ToFullWidth is the same as calling Replace(half, full) for every
// row of kWidthTable in order on a copy of the text; ToHalfWidth the same with
// Replace(full, half), except that row 16's "／" becomes "//". Both make one
// pass over the text instead of 95, with identical results for every input:
// every row's output is a character that no later row looks for, so each
// character of the input is rewritten at most once, by the row it matches.
#pragma once

#include <cstddef>
#include <string_view>

#include "convert/width_table.h"
#include "text/gbk_string.h"

namespace tornix {

// Half-width to full-width: "a   b" gives «ａ　ｂ», "Hello, World!" gives
// «Ｈｅｌｌｏ， Ｗｏｒｌｄ！» (a lone space stays half-width).
GbkString ToFullWidth(const GbkString& text);

// Full-width to half-width: «ａ。ｂ» gives "a.b", U+3000 gives three spaces,
// «／» gives "//".
GbkString ToHalfWidth(const GbkString& text);

// The same conversions into a caller's buffer, for callers that manage their
// own memory (a streaming filter). `out` must hold at least the Bound() bytes
// for the same text; the end of the written bytes is returned. Converting a
// text piece by piece gives the whole-text result when every cut falls on a
// character boundary and, for ToFullWidth, not inside a run of spaces.
std::size_t ToFullWidthBound(std::string_view text);
char* ToFullWidthInto(std::string_view text, char* out);
std::size_t ToHalfWidthBound(std::string_view text);
char* ToHalfWidthInto(std::string_view text, char* out);

// Bounds that hold for any text of `size` bytes, without reading it: for
// buffers sized ahead of the text, or where counting would cost too much.
std::size_t ToFullWidthBoundForSize(std::size_t size);
std::size_t ToHalfWidthBoundForSize(std::size_t size);

// The kernels use the widest vector instructions the processor has (see
// convert/kernels/). Setting the environment variable TORNIX_SIMD to
// "scalar", "sse2", "ssse3", "avx2" or "avx512" caps them, to compare or
// check the narrower ones on the same machine.

}  // namespace tornix
