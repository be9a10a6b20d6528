// The UTF-8 conversions as a filter meets them: the encoding detected from
// the whole input (or UTF-8 taken as given, invalid bytes and all), the
// kernels against the definition of the UTF-8 conversions, and the stream
// against the whole text with the cuts chosen by the fuzzer. Input: one byte
// of mode (bit 0: to half-width, bit 1: trim, bit 2: UTF-8 without
// detection), then records of one length byte followed by up to that many
// text bytes, each record one Write().
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "convert/width_stream.h"
#include "convert/width_utf8.h"
#include "support/width_reference.h"
#include "text/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    if (size == 0) return 0;
    const bool toHalf = (data[0] & 1) != 0;
    const bool trim = (data[0] & 2) != 0;
    const bool givenAsUtf8 = (data[0] & 4) != 0;
    std::string whole;
    std::vector<std::size_t> pieces;
    for (std::size_t at = 1; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        whole.append(reinterpret_cast<const char*>(data + at + 1), length);
        pieces.push_back(length);
        at += 1 + length;
    }
    const FileEncoding detected = DetectEncoding(whole);
    if (!givenAsUtf8 && detected.charset != Charset::kUtf8) return 0;
    // A byte-order mark is not part of the text.
    std::size_t skip = givenAsUtf8 || !detected.byteOrderMark ? 0 : ByteOrderMark(Charset::kUtf8).size();
    const std::string_view text = std::string_view(whole).substr(skip);

    const std::string expected =
        toHalf ? testing::ReferenceToHalfWidthUtf8(text, trim) : testing::ReferenceToFullWidthUtf8(text, trim);
    if (!trim && (toHalf ? ToHalfWidthUtf8(text) : ToFullWidthUtf8(text)) != expected) std::abort();
    // Text detected as UTF-8 by its bytes stays valid UTF-8 (a character cut
    // by the end allowed, as in the input).
    if (!givenAsUtf8 && !detected.byteOrderMark && !ScanUtf8(expected, false).valid) std::abort();

    std::string streamed;
    WidthStream stream(
        toHalf ? WidthDirection::kToHalf : WidthDirection::kToFull, trim,
        [&streamed](std::string_view bytes) {
            streamed.append(bytes);
            return true;
        },
        WidthEncoding::kUtf8);
    std::size_t at = 0;
    for (std::size_t length : pieces) {
        const std::size_t skipped = std::min(skip, length);
        skip -= skipped;
        if (!stream.Write(std::string_view(whole).substr(at + skipped, length - skipped))) std::abort();
        at += length;
    }
    if (!stream.Finish() || streamed != expected) std::abort();
    return 0;
}
