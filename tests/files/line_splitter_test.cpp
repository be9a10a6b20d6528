#include "files/line_splitter.h"

#include <gtest/gtest.h>

#include "naive_lines.h"
#include "support/width_reference.h"

namespace tornix {
namespace {

using testing::Hex;

struct SplitCase {
    const char* name;
    std::string bytes;
    std::string text;
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

// Both ways of laying out the text, and the length that sizes it.
TEST_P(SplitLinesTest, GivesTheText) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(ScanLines(c.bytes).textLength, c.text.size());
    EXPECT_EQ(Hex(SplitLines(c.bytes).value_or("<refused>")), Hex(c.text));
    std::string inPlace = c.bytes;
    ASSERT_TRUE(SplitLinesInPlace(inPlace));
    EXPECT_EQ(Hex(inPlace), Hex(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLinesTest,
    ::testing::Values(SplitCase{"Empty", "", ""},
                      SplitCase{"LastLineWithoutBreak", "a\r\nb", "a\r\nb\r\n"},
                      SplitCase{"LfOnly", "a\nb\n", "a\r\nb\r\n"},
                      SplitCase{"OneEmptyLine", "\r\n", "\r\n"},
                      SplitCase{"OneEmptyLfLine", "\n", "\r\n"},
                      SplitCase{"EmptyLinesKept", "\n\r\n\n", "\r\n\r\n\r\n"},
                      SplitCase{"LoneCrInsideStays", "a\rb\n", "a\rb\r\n"},
                      SplitCase{"LoneCrAtEndStays", "a\r", "a\r\r\n"},
                      SplitCase{"OnlyTheCrNextToLfBelongsToTheBreak", "\r\r\n", "\r\r\n"},
                      SplitCase{"LfCrIsABreakThenACr", "a\n\rb", "a\r\n\rb\r\n"},
                      SplitCase{"CtrlZIsAnOrdinaryByte", "a\x1A" "b\n\x1A", "a\x1A" "b\r\n\x1A\r\n"},
                      // 中文 then a lone lead byte right before a break
                      SplitCase{"GbkBytesUnchanged", "\xD6\xD0\xCE\xC4\n\x81\n", "\xD6\xD0\xCE\xC4\r\n\x81\r\n"},
                      SplitCase{"ByteOrderMarkIsText", "\xEF\xBB\xBFx", "\xEF\xBB\xBFx\r\n"},
                      SplitCase{"MixedBreaks", "a\nb\r\nc\nd", "a\r\nb\r\nc\r\nd\r\n"}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(SplitLines, RefusesNulWholeAndLeavesTheBytes) {
    for (const std::string& bytes : {std::string("\0", 1), std::string("a\nb\0", 4), std::string("\xFF\xFEx\0", 4)}) {
        const LineScan scan = ScanLines(bytes);
        EXPECT_TRUE(scan.hasNul) << Hex(bytes);
        EXPECT_EQ(scan.firstNul, bytes.find('\0'));
        EXPECT_FALSE(SplitLines(bytes).has_value());
        std::string inPlace = bytes;
        EXPECT_FALSE(SplitLinesInPlace(inPlace));
        EXPECT_EQ(inPlace, bytes);
    }
}

// Every string of up to 9 bytes over the bytes that matter, against the
// model: catches off-by-ones at the edges of the in-place move.
TEST(SplitLines, AgreesWithTheModelOnAllShortInputs) {
    const char alphabet[] = {'a', '\r', '\n', '\x1A'};
    for (int length = 0; length <= 9; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i) combinations *= 4;
        for (int n = 0; n < combinations; ++n) {
            std::string bytes;
            for (int i = 0, rest = n; i < length; ++i, rest /= 4) bytes += alphabet[rest % 4];
            const std::string expected = *testing::NaiveSplitLines(bytes);
            std::string inPlace = bytes;
            ASSERT_TRUE(SplitLinesInPlace(inPlace));
            ASSERT_EQ(Hex(inPlace), Hex(expected)) << "in place, input " << Hex(bytes);
            ASSERT_EQ(Hex(*SplitLines(bytes)), Hex(expected)) << "copy, input " << Hex(bytes);
        }
    }
}

}  // namespace
}  // namespace tornix
