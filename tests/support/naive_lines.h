// A naive model of reading a text file's lines, written straight from the
// rules: collect bytes into a line until LF, drop one CR right before that
// LF, and put CR LF after every line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tornix::testing {

std::optional<std::string> NaiveSplitLines(std::string_view bytes);

}  // namespace tornix::testing
