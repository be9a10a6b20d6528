// The text value's string lookup in the Windows build: the module's own
// string table, which the resource script compiles from string_table.cpp,
// read as UTF-16 and turned back into code page 936 bytes.
#include <windows.h>

#include "text/display_codec.h"
#include "text/string_resources.h"

namespace tornix {

bool FindResourceString(unsigned id, std::string& text) {
    const wchar_t* units = nullptr;
    // With no buffer, LoadStringW points into the loaded resource itself.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&units), 0);
    if (length <= 0 || units == nullptr) return false;
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");
    text = EncodeFromDisplay(std::u16string_view(reinterpret_cast<const char16_t*>(units), length));
    return true;
}

}  // namespace tornix
