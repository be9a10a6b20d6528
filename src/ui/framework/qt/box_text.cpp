#include "ui/framework/qt/box_text.h"

#include <algorithm>
#include <string>

#include "text/display_codec.h"

namespace tornix::qt {

namespace {

constexpr char16_t kLineFeed = u'\n';
constexpr char16_t kCarriageReturn = u'\r';
constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kParagraphSeparator = 0x2029;

std::u16string_view View(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// How the display codec shows a CR byte that is not a character of its own.
constexpr std::u16string_view kEscapedCarriageReturn = u"\uFDD0\uFDED";

bool IsBoxBreak(char16_t unit) {
    return unit == kParagraphSeparator || unit == kLineSeparator;
}

// Each line decoded on its own, the lines joined with CR LF.
std::u16string DecodeLineByLine(std::string_view gbk) {
    std::u16string text;
    std::size_t from = 0;
    for (std::size_t found = gbk.find("\r\n"); found != std::string_view::npos; found = gbk.find("\r\n", from)) {
        text += DecodeForDisplay(gbk.substr(from, found - from));
        text += u"\r\n";
        from = found + 2;
    }
    return text + DecodeForDisplay(gbk.substr(from));
}

}  // namespace

QString ToQString(std::string_view gbk) {
    const std::u16string text = DecodeForDisplay(gbk);
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

GbkString FromQString(const QString& text) {
    return GbkString(EncodeFromDisplay(View(text)));
}

// Every CR LF of the bytes as one LF. A lead byte right before CR LF would
// take the CR as its second byte when the whole text is decoded at once; that
// rare text is decoded line by line instead, so that the line break stays.
QString ToBoxText(std::string_view gbk) {
    std::u16string text = DecodeForDisplay(gbk);
    if (text.find(kEscapedCarriageReturn) != std::u16string::npos) text = DecodeLineByLine(gbk);
    QString box(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(box.data());
    const std::u16string_view crlf = u"\r\n";
    std::size_t from = 0;
    for (std::size_t found = text.find(crlf); found != std::u16string::npos; found = text.find(crlf, from)) {
        out = std::copy(text.data() + from, text.data() + found, out);
        *out++ = kLineFeed;
        from = found + 2;
    }
    out = std::copy(text.data() + from, text.data() + text.size(), out);
    box.truncate(static_cast<qsizetype>(out - reinterpret_cast<char16_t*>(box.data())));
    return box;
}

GbkString FromBoxText(const QString& rawText) {
    const std::u16string_view raw = View(rawText);
    const auto breaks = static_cast<std::size_t>(std::count_if(raw.begin(), raw.end(), IsBoxBreak));
    std::u16string text(raw.size() + breaks, u'\0');
    char16_t* out = text.data();
    for (auto run = raw.begin(); run != raw.end();) {
        const auto end = std::find_if(run, raw.end(), IsBoxBreak);
        out = std::copy(run, end, out);
        if (end == raw.end()) break;
        *out++ = kCarriageReturn;
        *out++ = kLineFeed;
        run = end + 1;
    }
    return GbkString(EncodeFromDisplay(text));
}

}  // namespace tornix::qt
