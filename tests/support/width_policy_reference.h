// The conversions under a policy (convert/width_policy.h) as they are
// stated, a character at a time, for the tests: the rows of the policy's
// table (the classic ones from the rule-based model of width_reference.h,
// the Unicode ones from U+FF01 .. U+FF5E and U+3000 through the display
// codec), the class of each row's half-width side, the kept characters, and
// for punctuation by context the nearest characters on each side, spaces
// skipped, told CJK by their Unicode value through the display codec.
#pragma once

#include <string>
#include <string_view>

#include "convert/width_converter.h"
#include "convert/width_policy.h"

namespace tornix::testing {

// Of code page 936 text.
std::string ReferencePolicyConversion(std::string_view text, WidthDirection direction, const WidthPolicy& policy);

// Of UTF-8 text, as defined: the UTF-8 of the conversion of its GB18030 form.
std::string ReferencePolicyConversionUtf8(std::string_view utf8, WidthDirection direction, const WidthPolicy& policy);

}  // namespace tornix::testing
