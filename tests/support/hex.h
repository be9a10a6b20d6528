// Bytes shown as "81 40 61", for failure messages that compare byte strings.
#pragma once

#include <string>
#include <string_view>

namespace tornix::testing {

std::string Hex(std::string_view bytes);

}  // namespace tornix::testing
