// The window layer's UTF-16 texts and the program's code page 936 texts,
// converted through the display codec so that no byte and no character is lost.
#pragma once

#include <string>

#include "text/gbk_string.h"

namespace tornix::win32 {

std::wstring ToWide(std::string_view gbk);
GbkString FromWide(std::wstring_view text);

}  // namespace tornix::win32
