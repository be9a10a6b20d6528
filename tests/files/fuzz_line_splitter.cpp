// The line splitter, whole and in two pieces, against the naive model. The
// first byte chooses where the rest is cut.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/line_splitter.h"
#include "naive_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto expected = testing::NaiveSplitLines(bytes);
    if (SplitLines(bytes) != expected) std::abort();
    if (!expected && ScanLines(bytes).firstNul != bytes.find('\0')) std::abort();

    const std::size_t cut = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);
    std::string text;
    char previous = '\0';
    for (const std::string& piece : {bytes.substr(0, cut), bytes.substr(cut)}) {
        const PieceScan scan = ScanPiece(piece, previous);
        if (scan.hasNul != (piece.find('\0') != std::string::npos)) std::abort();
        if (scan.hasNul) continue;
        const std::size_t at = text.size();
        text.resize(at + piece.size() + scan.bareLineFeeds);
        if (CopyWithCarriageReturns(piece, previous, text.data() + at) != text.data() + text.size()) std::abort();
        if (!piece.empty()) previous = piece.back();
    }
    if (!expected) return 0;
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    if (text != *expected) std::abort();
    return 0;
}
