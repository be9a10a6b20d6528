// The texts tornix-convert prints about itself: the help (Chinese, then
// English), the usage line for a wrong command line, and the version.
#pragma once

#include <string>
#include <string_view>

namespace tornix {

// How a terminal shows bytes: the help's Chinese part exists as code page 936
// bytes and as UTF-8, with the same text.
enum class TextEncoding { kGbk, kUtf8 };

// The Chinese part of the help, then the English part.
[[nodiscard]] std::string HelpText(TextEncoding encoding);

// The Chinese part alone, for comparing the two encodings.
[[nodiscard]] std::string_view ChineseHelp(TextEncoding encoding);

// One line, ending in a line feed, printed after a usage error.
[[nodiscard]] std::string_view UsageLine();

// One line for a text that --trim leaves empty: the window's 要转换的文本内容不能为空！
// in the terminal's encoding, then the same in English.
[[nodiscard]] std::string EmptyTextMessage(TextEncoding encoding);

// "tornix-convert 1.0.0.1" and a line feed.
[[nodiscard]] std::string VersionText();

}  // namespace tornix
