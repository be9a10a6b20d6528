// The Win32 back end's text plumbing: the chooser's filter and default
// extension, and the application's name.
#include "ui/framework/win32/file_chooser.h"

#include <gtest/gtest.h>

#include <string>

#include "ui/framework/backend.h"

namespace tornix::win32 {
namespace {

struct FilterCase {
    const char* name;
    const char* filter;  // code page 936
    std::wstring expected;
};

class ChooserFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ChooserFilterTest, SplitsAtBarsIntoNulSeparatedPairs) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(ChooserFilter(GbkString(c.filter)), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(Win32, ChooserFilterTest,
                         ::testing::Values(
                             // 文本文件(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|所有文件(*.*)|*.*||
                             FilterCase{"ProgramFilter",
                                        "\xCE\xC4\xB1\xBE\xCE\xC4\xBC\xFE(*.txt;*.html;*.htm)|*.txt;*.html;*.htm|"
                                        "\xCB\xF9\xD3\xD0\xCE\xC4\xBC\xFE(*.*)|*.*||",
                                        L"\u6587\u672C\u6587\u4EF6(*.txt;*.html;*.htm)\0*.txt;*.html;*.htm\0"
                                        L"\u6240\u6709\u6587\u4EF6(*.*)\0*.*\0\0\0\0"s},
                             // 0x81 0x7C is one character whose second byte is the value of '|'.
                             FilterCase{"BarAsSecondByteIsNoSeparator", "\x81\x7C|*.a||", L"\u4E85\0*.a\0\0\0\0"s},
                             FilterCase{"MissingEndStillEndsInTwoNuls", "A|*.a", L"A\0*.a\0\0"s}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChooserDefaultExtensionTest, KeepsTheFirstThreeCharacters) {
    EXPECT_EQ(ChooserDefaultExtension(GbkString("TXT Files (*.txt;*.html;*.htm)")), L"TXT");
    EXPECT_EQ(ChooserDefaultExtension(GbkString("md")), L"md");
    EXPECT_EQ(ChooserDefaultExtension(GbkString("")), L"");
}

TEST(ApplicationNameTest, IsTheProgramFileNameWithoutFolderOrExtension) {
    EXPECT_EQ(ApplicationName().view(), "wine_unit_test");
}

}  // namespace
}  // namespace tornix::win32
