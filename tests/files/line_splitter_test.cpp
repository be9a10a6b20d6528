#include "files/line_splitter.h"

#include <gtest/gtest.h>

#include <random>

#include "support/hex.h"
#include "support/line_pieces.h"
#include "support/naive_lines.h"

namespace tornix {
namespace {

using testing::Hex;
using testing::LayOutLines;

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    while (times-- > 0) text += piece;
    return text;
}

struct SplitCase {
    const char* name;
    std::string bytes;
    std::string text;
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class LineLayoutTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(LineLayoutTest, GivesTheText) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(Hex(LayOutLines(c.bytes).value_or("<refused>")), Hex(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineLayoutTest,
    ::testing::Values(SplitCase{"Empty", "", ""}, SplitCase{"LastLineWithoutBreak", "a\r\nb", "a\r\nb\r\n"},
                      SplitCase{"LfOnly", "a\nb\n", "a\r\nb\r\n"}, SplitCase{"OneEmptyLine", "\r\n", "\r\n"},
                      SplitCase{"OneEmptyLfLine", "\n", "\r\n"},
                      SplitCase{"EmptyLinesKept", "\n\r\n\n", "\r\n\r\n\r\n"},
                      SplitCase{"LoneCrInsideStays", "a\rb\n", "a\rb\r\n"},
                      SplitCase{"LoneCrAtEndStays", "a\r", "a\r\r\n"},
                      SplitCase{"OnlyTheCrNextToLfBelongsToTheBreak", "\r\r\n", "\r\r\n"},
                      SplitCase{"LfCrIsABreakThenACr", "a\n\rb", "a\r\n\rb\r\n"},
                      SplitCase{"CtrlZIsAnOrdinaryByte",
                                "a\x1A"
                                "b\n\x1A",
                                "a\x1A"
                                "b\r\n\x1A\r\n"},
                      // 中文 then a lone lead byte right before a break
                      SplitCase{"GbkBytesUnchanged", "\xD6\xD0\xCE\xC4\n\x81\n", "\xD6\xD0\xCE\xC4\r\n\x81\r\n"},
                      SplitCase{"ByteOrderMarkIsText", "\xEF\xBB\xBFx", "\xEF\xBB\xBFx\r\n"},
                      SplitCase{"MixedBreaks", "a\nb\r\nc\nd", "a\r\nb\r\nc\r\nd\r\n"},
                      // more bare LFs in a row than a per-byte counter holds
                      SplitCase{"ManyEmptyLines", std::string(5000, '\n'), Repeat("\r\n", 5000)}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

// A NUL anywhere in a piece, also past the blocks scanned together.
TEST(LineLayout, RefusesNul) {
    for (const std::string& bytes : {std::string("\0", 1), std::string("a\nb\0", 4), std::string("\xFF\xFEx\0", 4),
                                     std::string(40, 'x') + std::string("\0", 1) + "y"}) {
        EXPECT_FALSE(LayOutLines(bytes).has_value()) << Hex(bytes);
        EXPECT_FALSE(LayOutLines(bytes, bytes.size() / 2).has_value()) << Hex(bytes);
    }
}

// Every string of up to 7 bytes over the bytes that matter, alone and framed
// at several offsets (so that it falls on the edges of the blocks that are
// handled together), whole and cut into two pieces anywhere in it, against
// the model. Catches off-by-ones at block edges and a CR LF split between two
// reads.
TEST(LineLayout, AgreesWithTheModelOnAllShortInputs) {
    const char alphabet[] = {'a', '\r', '\n', '\x1A'};
    for (int length = 0; length <= 7; ++length) {
        int combinations = 1;
        for (int i = 0; i < length; ++i) combinations *= 4;
        for (int n = 0; n < combinations; ++n) {
            std::string input;
            for (int i = 0, rest = n; i < length; ++i, rest /= 4) input += alphabet[rest % 4];
            for (const std::size_t offset : {0, 1, 14, 15, 16, 17}) {
                const std::string bytes =
                    offset == 0 ? input : std::string(offset, 'x') + input + std::string(offset + 3, 'y');
                const std::string expected = *testing::NaiveSplitLines(bytes);
                ASSERT_TRUE(LayOutLines(bytes) == expected) << "whole, input " << Hex(bytes);
                for (std::size_t cut = offset; cut <= offset + input.size(); ++cut) {
                    ASSERT_TRUE(LayOutLines(bytes, cut) == expected) << "cut at " << cut << ", input " << Hex(bytes);
                }
            }
        }
    }
}

// Longer random texts, mostly short lines with every kind of break.
TEST(LineLayout, AgreesWithTheModelOnRandomTexts) {
    std::mt19937 rng(20);
    const std::string pieces[] = {"\n", "\r\n", "\r", "abc", "\xD6\xD0", "\x1A", "defghijklmnopqrst"};
    for (int round = 0; round < 2000; ++round) {
        std::string bytes;
        for (unsigned n = rng() % 40; n > 0; --n) bytes += pieces[rng() % 7];
        const std::string expected = *testing::NaiveSplitLines(bytes);
        ASSERT_TRUE(LayOutLines(bytes) == expected) << Hex(bytes);
        ASSERT_TRUE(LayOutLines(bytes, rng() % (bytes.size() + 1)) == expected) << Hex(bytes);
    }
}

}  // namespace
}  // namespace tornix
