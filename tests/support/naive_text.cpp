#include "naive_text.h"

#include "text/gbk_string.h"

namespace tornix::testing {

namespace {

std::size_t NaiveCharLength(std::string_view text, std::size_t pos) {
    const bool lead = static_cast<unsigned char>(text[pos]) >= 0x81 && static_cast<unsigned char>(text[pos]) <= 0xFE;
    return lead && pos + 1 < text.size() ? 2 : 1;
}

bool NaiveIsSpace(std::string_view text, std::size_t pos) {
    if (NaiveCharLength(text, pos) != 1) return false;
    const char c = text[pos];
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::string NaiveTrimLeft(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && NaiveIsSpace(text, pos)) ++pos;
    return std::string(text.substr(pos));
}

std::string NaiveTrimRight(std::string_view text) {
    std::size_t runStart = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += NaiveCharLength(text, pos)) {
        if (NaiveIsSpace(text, pos)) {
            if (runStart == std::string_view::npos) runStart = pos;
        } else {
            runStart = std::string_view::npos;
        }
    }
    return std::string(text.substr(0, runStart));
}

std::string NaiveReplace(std::string_view text, std::string_view oldText, std::string_view newText, int* count) {
    *count = 0;
    if (oldText.empty()) return std::string(text);
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.substr(pos, oldText.size()) == oldText) {
            out += newText;
            pos += oldText.size();
            ++*count;
        } else {
            const std::size_t step = NaiveCharLength(text, pos);
            out += text.substr(pos, step);
            pos += step;
        }
    }
    return out;
}

}  // namespace tornix::testing
