// The file reader's way of laying out lines, driven from a test: the bytes in
// two pieces cut at `cut`, each scanned and copied with the CRs its bare LFs
// need, then CR LF after a last line that has no LF. Nothing when the bytes
// hold a NUL. For programs that link the files layer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "files/line_splitter.h"

namespace tornix::testing {

inline std::optional<std::string> LayOutLines(std::string_view bytes, std::size_t cut = 0) {
    std::string text;
    char previous = '\0';
    for (const std::string_view piece : {bytes.substr(0, cut), bytes.substr(cut)}) {
        const PieceScan scan = ScanPiece(piece, previous);
        if (scan.hasNul) return std::nullopt;
        const std::size_t at = text.size();
        text.resize(at + piece.size() + scan.bareLineFeeds);
        if (CopyWithCarriageReturns(piece, previous, text.data() + at) != text.data() + text.size()) {
            return "<room asked for does not match the bytes written>";
        }
        if (!piece.empty()) previous = piece.back();
    }
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    return text;
}

}  // namespace tornix::testing
