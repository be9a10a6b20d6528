// Reference conversions for the tests: the literal algorithm, 95 whole-text
// Replace passes in table order, and an independent per-character model that
// is built from the rules of the table rather than from kWidthTable itself, so
// that a wrong row shows up as a difference.
#pragma once

#include <string>
#include <string_view>

#include "text/gbk_string.h"

namespace tornix::testing {

GbkString ReferenceToFullWidth(GbkString text);
GbkString ReferenceToHalfWidth(GbkString text);

// The full-width form of a printable ASCII character (0x21..0x7E), as bytes.
std::string ModelFullOf(char ascii);

std::string ModelToFullWidth(std::string_view text);
std::string ModelToHalfWidth(std::string_view text);

// The conversions of UTF-8 text as they are defined: the UTF-8 of the code
// page 936 conversion of the text's GB18030 form (transcode.h), with the
// white space trimmed first when `trim` is set.
std::string ReferenceToFullWidthUtf8(std::string_view utf8, bool trim = false);
std::string ReferenceToHalfWidthUtf8(std::string_view utf8, bool trim = false);

}  // namespace tornix::testing
