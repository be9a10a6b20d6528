// The Qt back end's pure parts: rounding of dialog units, the font choice,
// the chooser's filter form, window flags and the text boundary of the boxes.
#include <gtest/gtest.h>

#include <QString>
#include <string>

#include "gui_test_support.h"
#include "res/dialog_templates.h"
#include "support/hex.h"
#include "ui/framework/qt/box_text.h"
#include "ui/framework/qt/controls.h"
#include "ui/framework/qt/dialog_units.h"
#include "ui/framework/qt/file_filter.h"

namespace tornix::qt {
namespace {

using tornix::testing::Gbk;
using tornix::testing::Hex;

struct MulDivCase {
    int a, b, c, expected;
};

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalvesAwayFromZero) {
    const MulDivCase& c = GetParam();
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

INSTANTIATE_TEST_SUITE_P(Cases, MulDivTest,
                         ::testing::Values(MulDivCase{449, 6, 4, 674},   // 673.5 rounds up
                                           MulDivCase{7, 6, 4, 11},      // 10.5
                                           MulDivCase{342, 12, 8, 513},  // exact
                                           MulDivCase{161, 13, 8, 262},  // 261.625
                                           MulDivCase{161, 14, 8, 282},  // 281.75
                                           MulDivCase{5, 5, 4, 6},       // 6.25 rounds down
                                           MulDivCase{-7, 6, 4, -11},    // -10.5 away from zero
                                           MulDivCase{7, 6, -4, -11},    // negative divisor
                                           MulDivCase{0, 6, 4, 0}));

struct FontCase {
    const char* name;
    const char* wanted;  // UTF-8
    QStringList installed;
    QStringList chinese;
    const char* expected;
};

class FontChoiceTest : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontChoiceTest, PicksTheBestInstalledFamily) {
    const FontCase& c = GetParam();
    EXPECT_EQ(ChooseFontFamily(QString::fromUtf8(c.wanted), c.installed, c.chinese).toStdString(), c.expected);
}

const QStringList kUming = {"DejaVu Sans", "AR PL UMing TW", "AR PL UMing CN"};

INSTANTIATE_TEST_SUITE_P(
    Cases, FontChoiceTest,
    ::testing::Values(FontCase{"SongTiInstalled", "宋体", {"DejaVu Sans", "宋体", "AR PL UMing CN"}, {}, "宋体"},
                      FontCase{"SongTiByItsLatinName", "宋体", {"SimSun", "AR PL UMing CN"}, {}, "SimSun"},
                      FontCase{"UmingStandsInForSongTi", "宋体", kUming, {"AR PL UMing TW"}, "AR PL UMing CN"},
                      FontCase{"AnyChineseFontLast",
                               "宋体",
                               {"DejaVu Sans", "WenQuanYi Zen Hei"},
                               {"WenQuanYi Zen Hei"},
                               "WenQuanYi Zen Hei"},
                      FontCase{"NothingChineseKeepsTheName", "宋体", {"DejaVu Sans"}, {}, "宋体"},
                      FontCase{"OtherFontInstalled", "Courier", {"courier", "AR PL UMing CN"}, {}, "Courier"},
                      FontCase{"OtherFontMissingIsNotSongTi", "Courier", kUming, {"AR PL UMing TW"}, "AR PL UMing TW"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FilterCase {
    const char* name;
    const char* filter;  // UTF-8
    QStringList expected;
};

class QtFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(QtFilterTest, BecomesQtNameFilters) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(ToQtNameFilters(Gbk(c.filter)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QtFilterTest,
    ::testing::Values(FilterCase{"TheChoosersFilter",
                                 "文本文件(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|所有文件(*.*)|*.*||",
                                 {QString::fromUtf8("文本文件(*.txt;*.html;*.htm) (*.txt *.html *.htm)"),
                                  QString::fromUtf8("所有文件(*.*) (*.*)")}},
                      FilterCase{"WithoutFinalBars", "Text|*.txt", {"Text (*.txt)"}},
                      FilterCase{"StopsAtDoubleBar", "A|*.a||B|*.b||", {"A (*.a)"}},
                      FilterCase{"NameWithoutPatternsDropped", "A|*.a|B", {"A (*.a)"}},
                      FilterCase{"EmptyPatternsDropped", "A|;|B|*.b||", {"B (*.b)"}},
                      FilterCase{"SpacesAroundPatterns", "A| *.a ; *.b |", {"A (*.a *.b)"}},
                      FilterCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FlagsCase {
    const char* name;
    unsigned templateId;
    bool owned;
    Qt::WindowType type;
    bool minimize;
};

class WindowFlagsTest : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(WindowFlagsTest, FollowTheStyleBits) {
    const FlagsCase& c = GetParam();
    const Qt::WindowFlags flags = WindowFlagsFor(*FindDialogTemplate(c.templateId), c.owned);
    EXPECT_EQ(flags & Qt::WindowType_Mask, c.type);
    EXPECT_EQ(flags.testFlag(Qt::WindowMinimizeButtonHint), c.minimize);
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint)) << "neither window may be maximized";
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowFlagsTest,
                         ::testing::Values(FlagsCase{"ConverterIsAMainWindow", IDD_CONVERTER, false, Qt::Window, true},
                                           FlagsCase{"AboutIsADialog", IDD_ABOUT, true, Qt::Dialog, false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BoxTextCase {
    const char* name;
    std::string bytes;     // a field's text
    QString box;           // what the box holds
    std::string readBack;  // the field's text from the box
};

class BoxTextTest : public ::testing::TestWithParam<BoxTextCase> {};

TEST_P(BoxTextTest, LineBreaksConvertAtTheBoundary) {
    const BoxTextCase& c = GetParam();
    EXPECT_EQ(ToBoxText(c.bytes), c.box);
    // A QTextDocument holds each line break as a block separator.
    QString raw = c.box;
    raw.replace(QLatin1Char('\n'), QChar(QChar::ParagraphSeparator));
    raw.replace(QLatin1Char('\r'), QChar(QChar::ParagraphSeparator));
    EXPECT_EQ(Hex(std::string(FromBoxText(raw).view())), Hex(c.readBack));
}

INSTANTIATE_TEST_SUITE_P(Cases, BoxTextTest,
                         ::testing::Values(BoxTextCase{"CrLfPairs", "a\r\nb\r\n", "a\nb\n", "a\r\nb\r\n"},
                                           BoxTextCase{"EmptyLines", "\r\n\r\n", "\n\n", "\r\n\r\n"},
                                           BoxTextCase{"LoneLineFeedComesBackAsCrLf", "a\nb", "a\nb", "a\r\nb"},
                                           BoxTextCase{"LoneCarriageReturnComesBackAsCrLf", "a\rb", "a\rb", "a\r\nb"},
                                           BoxTextCase{"CrCrLf", "a\r\r\nb", "a\r\nb", "a\r\n\r\nb"},
                                           // 全角　ＡＢ
                                           BoxTextCase{"Chinese", "\xC8\xAB\xBD\xC7\xA1\xA1\xA3\xC1\xA3\xC2\r\n",
                                                       QString::fromUtf8("全角\u3000ＡＢ\n"),
                                                       "\xC8\xAB\xBD\xC7\xA1\xA1\xA3\xC1\xA3\xC2\r\n"},
                                           BoxTextCase{"NoLineBreak", "abc", "abc", "abc"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Bytes that are not code page 936 are shown as escapes; what matters is
// that they survive the box with its line breaks.
class InvalidBytesTest : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidBytesTest, SurviveTheBox) {
    QString raw = ToBoxText(GetParam());
    raw.replace(QLatin1Char('\n'), QChar(QChar::ParagraphSeparator));
    EXPECT_EQ(Hex(std::string(FromBoxText(raw).view())), Hex(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidBytesTest,
                         ::testing::Values("x\x80\xFF", "\x81\r\n", "a\x81\r\nb\x81\r\n", "\x81\x7F\r\n\xFE",
                                           "\x81\r\x81\r\n", "\xFE\r\n\r\n\x81"));

// QTextDocument::toPlainText would turn U+00A0 into a space; the raw text
// keeps it (it reaches a field as its GB18030 four-byte form).
TEST(BoxText, NoBreakSpaceIsKept) {
    const QString raw = QString(QChar(0x00A0)) + QChar(QChar::ParagraphSeparator) + QChar(0x2028) + "a";
    EXPECT_EQ(Hex(std::string(FromBoxText(raw).view())), Hex("\x81\x30\x84\x32\r\n\r\na"));
}

}  // namespace
}  // namespace tornix::qt
