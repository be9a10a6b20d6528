// Where a text may be cut into pieces without cutting a character in two, in
// each encoding the width conversions take: for the streaming form
// (width_stream.h), which converts piece by piece and must give what the
// whole text gives.
//
// In code page 936 a lead byte (0x81..0xFE) takes the byte after it,
// whatever that is. In UTF-8 a character is a strictly valid sequence of one
// to four bytes (encoding.h); a byte that begins none is a character of its
// own, so bytes that begin a valid character and then stop are, once that is
// known, each a character of their own.
#pragma once

#include <cstddef>
#include <string_view>

namespace tornix {

enum class WidthEncoding { kGbk, kUtf8 };

// How many bytes at the end of `text`, which begins on a character, begin a
// character that they do not finish: a lead byte that begins a character in
// code page 936; the first one to three bytes of a valid character in UTF-8.
// Example: "ab\xE4\xB8" gives 2 in UTF-8, "ab\xE4" gives 1 in code page 936.
std::size_t UnfinishedTail(std::string_view text, WidthEncoding encoding);

// What the bytes of an unfinished character (as UnfinishedTail finds them)
// are with one more byte: still unfinished, a whole character, or no
// character at all (each byte then a character of its own, and `next` the
// first byte of what follows).
enum class Continuation { kUnfinished, kComplete, kBroken };
Continuation ContinueCharacter(std::string_view unfinished, char next, WidthEncoding encoding);

// Where the last character of `text`, which begins and ends on character
// boundaries and is not empty, begins. Example: "a\xD6\xD0" gives 1 in code
// page 936, "a\xE4\xB8\xAD" 1 in UTF-8, "a\xE4\xB8" 2 in UTF-8 (a byte of
// no character is one of its own).
std::size_t LastCharacterStart(std::string_view text, WidthEncoding encoding);

// True when byte `pos` of `text`, an ASCII byte, is a character of its own
// rather than the second byte of a code page 936 character, given that
// `text` begins on a character. In UTF-8 an ASCII byte always is.
bool BeginsCharacter(std::string_view text, std::size_t pos, WidthEncoding encoding);

}  // namespace tornix
