// WidthStream against the whole-text routines, with the chunking chosen by
// the fuzzer. Input: one byte of mode (bit 0: to half-width, bit 1: trim),
// then records of one length byte followed by up to that many text bytes,
// each record one Write().
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "convert/width.h"
#include "convert/width_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    if (size == 0) return 0;
    const bool toHalf = (data[0] & 1) != 0;
    const bool trim = (data[0] & 2) != 0;
    std::string streamed;
    std::string whole;
    WidthStream stream(toHalf ? WidthDirection::kToHalf : WidthDirection::kToFull, trim,
                       [&streamed](std::string_view bytes) {
                           if (bytes.empty()) std::abort();
                           streamed.append(bytes);
                           return true;
                       });
    for (std::size_t at = 1; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        const std::string_view piece(reinterpret_cast<const char*>(data + at + 1), length);
        whole.append(piece);
        if (!stream.Write(piece)) std::abort();
        at += 1 + length;
    }
    if (!stream.Finish()) std::abort();
    GbkString text(whole);
    if (trim) {
        text.TrimLeft();
        text.TrimRight();
    }
    const GbkString expected = toHalf ? ToHalfWidth(text) : ToFullWidth(text);
    if (expected.view() != streamed) std::abort();
    return 0;
}
