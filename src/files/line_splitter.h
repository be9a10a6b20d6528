// Turning the bytes of a text file into the program's text: a pure function
// over bytes, shared by the file reader and anything else that takes text in.
//
// A line ends at LF (0x0A); a CR (0x0D) directly before that LF belongs to the
// break. In the result every line, the last one included, is followed by
// CR LF. A CR anywhere else is an ordinary byte, and so is Ctrl-Z (0x1A). A
// last line without LF is still a line. Bytes that hold a NUL are not text
// (a UTF-16 file, a binary) and are refused whole.
//
// Examples: «a» LF «b» LF -> «a» CR LF «b» CR LF; «a» CR LF «b» -> «a» CR LF
// «b» CR LF; «a» CR «b» -> «a» CR «b» CR LF; the empty file -> the empty text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tornix {

// What one look at the bytes tells: whether they can be text and how long
// the text is.
struct LineScan {
    bool hasNul = false;
    std::size_t firstNul = 0;    // offset of the first NUL when hasNul
    std::size_t textLength = 0;  // length of the text when !hasNul
};

LineScan ScanLines(std::string_view bytes);

// Writes the text of `bytes` to `out`, which must have room for exactly
// ScanLines(bytes).textLength bytes, and returns the end of what was written.
// `bytes` must not hold a NUL and must not overlap `out`.
char* SplitLinesInto(std::string_view bytes, char* out);

// The text of `bytes`, or nothing when they hold a NUL.
std::optional<std::string> SplitLines(std::string_view bytes);

// Turns `bytes` into its text where it lies, growing the string once to the
// final length and moving every byte at most once. Returns false and leaves
// `bytes` untouched when it holds a NUL.
bool SplitLinesInPlace(std::string& bytes);

}  // namespace tornix
