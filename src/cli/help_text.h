// The texts tornix-convert prints about itself: the help (Chinese, then
// English), the usage line for a wrong command line, the messages with a
// character or a text in them, and the version.
#pragma once

#include <string>
#include <string_view>

#include "text/encoding.h"
#include "text/transcode.h"

namespace tornix {

// The Chinese part of the help, in the terminal's encoding (code page 936 or
// UTF-8), then the English part.
[[nodiscard]] std::string HelpText(Charset terminal);

// One line, ending in a line feed, printed after a usage error.
[[nodiscard]] std::string_view UsageLine();

// One line for a text that --trim leaves empty: the window's 要转换的文本内容不能为空！
// in the terminal's encoding, then the same in English.
[[nodiscard]] std::string EmptyTextMessage(Charset terminal);

// One line for output that `output` cannot hold: the line, the character (in
// the terminal's encoding) and its code point.
[[nodiscard]] std::string UnencodableMessage(const Unencodable& lacked, Charset output, Charset terminal);

// "tornix-convert 1.0.0.1" and a line feed.
[[nodiscard]] std::string VersionText();

}  // namespace tornix
