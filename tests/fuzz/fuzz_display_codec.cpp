// Both directions of the display codec on any input. As GBK bytes the input
// must survive decode-then-encode; read as UTF-16 units (little-endian pairs)
// it must survive encode-then-decode, except for the part from the first
// escape-shaped pair U+FDDx U+FDEy on, which must come back at least up to it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/display_codec.h"

namespace {

// Where the first U+FDDx U+FDEy pair begins, or the text's size.
std::size_t FirstEscapeShape(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] >= 0xFDD0 && text[i] <= 0xFDDF && text[i + 1] >= 0xFDE0 && text[i + 1] <= 0xFDEF) return i;
    }
    return text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tornix;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (EncodeFromDisplay(DecodeForDisplay(bytes)) != bytes) std::abort();

    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    const std::u16string back = DecodeForDisplay(EncodeFromDisplay(text));
    const std::size_t intact = FirstEscapeShape(text);
    if (intact == text.size() ? back != text : back.compare(0, intact, text, 0, intact) != 0) std::abort();
    return 0;
}
