#include "naive_lines.h"

namespace tornix::testing {

std::optional<std::string> NaiveSplitLines(std::string_view bytes) {
    std::string text;
    std::string line;
    for (const char c : bytes) {
        if (c == '\0') return std::nullopt;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        text += line + "\r\n";
        line.clear();
    }
    if (!line.empty()) text += line + "\r\n";
    return text;
}

}  // namespace tornix::testing
