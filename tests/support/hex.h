// Bytes as hex pairs and back: Hex gives "81 40 61", for failure messages that
// compare byte strings (or "814061" with no separator, as the golden files
// are written); FromHex reads either, for expectations written that way.
#pragma once

#include <string>
#include <string_view>

namespace tornix::testing {

std::string Hex(std::string_view bytes, std::string_view separator = " ");

// Two hex digits a byte; spaces between the pairs are skipped. Example:
// FromHex("E4 B8 AD") and FromHex("E4B8AD") are both 中 in UTF-8.
std::string FromHex(std::string_view hex);

}  // namespace tornix::testing
