// Texts crossing between the program's code page 936 bytes and Qt's UTF-16.
// Fields hold line breaks as CR LF; Qt's text boxes hold one separator per
// line break, so the box forms convert at the boundary.
#pragma once

#include <QString>
#include <string_view>

#include "text/gbk_string.h"

namespace tornix::qt {

// Captions, labels, button and message texts, as they are.
QString ToQString(std::string_view gbk);
GbkString FromQString(const QString& text);

// The text for a box: each CR LF becomes LF (a lone CR or LF stays and is
// shown as a line break too).
QString ToBoxText(std::string_view gbk);

// A box's raw text (QTextDocument::toRawText: blocks end in U+2029, lines
// inside a block in U+2028) back to bytes with CR LF for each line break.
// Unlike toPlainText it leaves U+00A0 and U+FDD0/U+FDD1 alone.
GbkString FromBoxText(const QString& rawText);

}  // namespace tornix::qt
