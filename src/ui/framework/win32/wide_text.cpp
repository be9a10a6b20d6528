#include "ui/framework/win32/wide_text.h"

#include "text/display_codec.h"

namespace tornix::win32 {

// wchar_t is a UTF-16 unit on Windows, so the two string types share a layout.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring ToWide(std::string_view gbk) {
    const std::u16string text = DecodeForDisplay(gbk);
    return std::wstring(text.begin(), text.end());
}

GbkString FromWide(std::wstring_view text) {
    const std::u16string units(text.begin(), text.end());
    return GbkString(EncodeFromDisplay(units));
}

}  // namespace tornix::win32
