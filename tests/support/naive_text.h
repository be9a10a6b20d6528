// Naive models of the text value's operations, written straight from their
// definitions (walk character by character from the start), for differential
// tests and fuzz targets.
#pragma once

#include <string>
#include <string_view>

namespace tornix::testing {

std::string NaiveTrimLeft(std::string_view text);
std::string NaiveTrimRight(std::string_view text);
// Returns the new text; the count goes to *count.
std::string NaiveReplace(std::string_view text, std::string_view oldText, std::string_view newText, int* count);

}  // namespace tornix::testing
