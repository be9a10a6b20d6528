#include "width_reference.h"

#include <map>

#include "convert/width.h"
#include "text/transcode.h"

namespace tornix::testing {

GbkString ReferenceToFullWidth(GbkString text) {
    for (const WidthPair& row : kWidthTable) text.Replace(row.half, row.full);
    return text;
}

GbkString ReferenceToHalfWidth(GbkString text) {
    for (int row = 0; row < kWidthTableRows; ++row) {
        const char* half = row == kSolidusRow ? "//" : kWidthTable[row].half;
        text.Replace(kWidthTable[row].full, half);
    }
    return text;
}

std::string ModelFullOf(char ascii) {
    switch (ascii) {
        case '$':
            return "\xA1\xE7";  // ＄
        case '.':
            return "\xA1\xA3";  // 。
        case '~':
            return "\xA1\xAB";  // ～
        default:
            return {'\xA3', static_cast<char>(ascii + 0x80)};
    }
}

namespace {

bool IsPrintableAscii(unsigned char byte) {
    return byte >= 0x21 && byte <= 0x7E;
}

}  // namespace

std::string ModelToFullWidth(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(byte)) {
            out += text.substr(i, 2);
            i += 2;
        } else if (byte == ' ') {
            std::size_t run = 0;
            while (i + run < text.size() && text[i + run] == ' ') ++run;
            for (std::size_t k = 0; k < run / 3; ++k) out += "\xA1\xA1";
            out.append(run % 3, ' ');
            i += run;
        } else {
            out += IsPrintableAscii(byte) ? ModelFullOf(text[i]) : std::string(1, text[i]);
            ++i;
        }
    }
    return out;
}

namespace {

// The half-width form of each full-width character that has one, by its two
// bytes, built from the rules above.
const std::map<std::string, std::string>& ModelHalfForms() {
    static const std::map<std::string, std::string> forms = [] {
        std::map<std::string, std::string> built{{"\xA1\xA1", "   "}};
        for (char c = 0x21; c <= 0x7E; ++c) built[ModelFullOf(c)] = c == '/' ? "//" : std::string(1, c);
        return built;
    }();
    return forms;
}

}  // namespace

std::string ModelToHalfWidth(std::string_view text) {
    const auto& forms = ModelHalfForms();
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!IsLeadByte(byte) || i + 1 == text.size()) {
            out += text[i++];
            continue;
        }
        const std::string character(text.substr(i, 2));
        const auto found = forms.find(character);
        out += found == forms.end() ? character : found->second;
        i += 2;
    }
    return out;
}

namespace {

std::string ThroughTheProgramsText(std::string_view utf8, bool trim, GbkString (*convert)(const GbkString&)) {
    const FileEncoding encoding{Charset::kUtf8, false};
    GbkString text(DecodeText(utf8, encoding));
    if (trim) {
        text.TrimLeft();
        text.TrimRight();
    }
    return EncodeText(convert(text).view(), encoding);
}

}  // namespace

std::string ReferenceToFullWidthUtf8(std::string_view utf8, bool trim) {
    return ThroughTheProgramsText(utf8, trim, ToFullWidth);
}

std::string ReferenceToHalfWidthUtf8(std::string_view utf8, bool trim) {
    return ThroughTheProgramsText(utf8, trim, ToHalfWidth);
}

}  // namespace tornix::testing
