// Turning the bytes of a text file into the program's text: pure functions
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
//
// So the text is the bytes with a CR put before every LF that lacks one (a
// "bare" LF) and CR LF added after a last line that has no LF; nothing is
// ever removed.
#pragma once

#include <cstddef>
#include <string_view>

namespace tornix {

// The bytes arrive piece by piece (as a file is read); `previous` is the byte
// before the piece (0 for the first piece). What one look at a piece tells:
struct PieceScan {
    bool hasNul = false;
    std::size_t bareLineFeeds = 0;  // LFs without a CR right before them
};

PieceScan ScanPiece(std::string_view piece, char previous);

// Copies `piece` to `out` with a CR put before each bare LF, and returns the
// end of what was written. `out` must have room for exactly piece.size() +
// ScanPiece(piece, previous).bareLineFeeds bytes and must not overlap `piece`.
char* CopyWithCarriageReturns(std::string_view piece, char previous, char* out);

}  // namespace tornix
