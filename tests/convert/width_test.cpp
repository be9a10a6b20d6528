#include "convert/width.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/hex.h"
#include "support/width_reference.h"

namespace tornix {
namespace {

using testing::Hex;

// The table, row by row, against the rule it is built from: row n pairs
// character 0x1F + n with 0xA3, c + 0x80, except $ . ~ and the space row.
TEST(WidthTable, EveryRowFollowsTheRule) {
    EXPECT_STREQ(kWidthTable[0].half, "   ");
    EXPECT_EQ(Hex(kWidthTable[0].full), "A1 A1");
    for (int row = 1; row < kWidthTableRows; ++row) {
        const char ascii = static_cast<char>(0x20 + row);
        EXPECT_EQ(std::string(kWidthTable[row].half), std::string(1, ascii)) << "row " << row + 1;
        EXPECT_EQ(Hex(kWidthTable[row].full), Hex(testing::ModelFullOf(ascii))) << "row " << row + 1;
    }
}

struct ConversionCase {
    const char* name;
    std::string input, full, half;
    friend void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }
};

class ConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionTest, BothDirections) {
    const ConversionCase& c = GetParam();
    const GbkString input(c.input);
    EXPECT_EQ(Hex(ToFullWidth(input).view()), Hex(c.full)) << "ToFullWidth";
    EXPECT_EQ(Hex(ToHalfWidth(input).view()), Hex(c.half)) << "ToHalfWidth";
    EXPECT_EQ(input.view(), c.input) << "the argument must not change";
}

// Inputs and expectations are GBK bytes; the comment gives the glyphs.
INSTANTIATE_TEST_SUITE_P(
    Cases, ConversionTest,
    ::testing::Values(
        // Ｈｅｌｌｏ， Ｗｏｒｌｄ！ : the lone space stays half-width
        ConversionCase{"HelloWorld", "Hello, World!",
                       "\xA3\xC8\xA3\xE5\xA3\xEC\xA3\xEC\xA3\xEF\xA3\xAC \xA3\xD7\xA3\xEF\xA3\xF2\xA3\xEC"
                       "\xA3\xE4\xA3\xA1",
                       "Hello, World!"},
        // ａ　ｂ
        ConversionCase{"ThreeSpacesBecomeOne", "a   b", "\xA3\xE1\xA1\xA1\xA3\xE2", "a   b"},
        ConversionCase{"SpaceRunsGroupedFromTheLeft", "    |      |  ", "\xA1\xA1 \xA3\xFC\xA1\xA1\xA1\xA1\xA3\xFC  ",
                       "    |      |  "},
        // ａ。ｂ <-> a.b
        ConversionCase{"FullStopIsIdeographic", "a.b", "\xA3\xE1\xA1\xA3\xA3\xE2", "a.b"},
        ConversionCase{"IdeographicFullStopBecomesDot", "\xA3\xE1\xA1\xA3\xA3\xE2", "\xA3\xE1\xA1\xA3\xA3\xE2", "a.b"},
        // １２３４５６７８９０
        ConversionCase{"Digits", "\xA3\xB1\xA3\xB2\xA3\xB3\xA3\xB4\xA3\xB5\xA3\xB6\xA3\xB7\xA3\xB8\xA3\xB9\xA3\xB0",
                       "\xA3\xB1\xA3\xB2\xA3\xB3\xA3\xB4\xA3\xB5\xA3\xB6\xA3\xB7\xA3\xB8\xA3\xB9\xA3\xB0",
                       "1234567890"},
        // ＂ｑ＂
        ConversionCase{"QuotesHalf", "\xA3\xA2\xA3\xF1\xA3\xA2", "\xA3\xA2\xA3\xF1\xA3\xA2", "\"q\""},
        ConversionCase{"QuotesFull", "\"q\"", "\xA3\xA2\xA3\xF1\xA3\xA2", "\"q\""},
        // ／ becomes two solidi
        ConversionCase{"SolidusDoubles", "\xA3\xAF", "\xA3\xAF", "//"},
        ConversionCase{"SolidusFull", "/", "\xA3\xAF", "/"},
        ConversionCase{"IdeographicSpaceToThreeSpaces", "\xA1\xA1", "\xA1\xA1", "   "},
        ConversionCase{"FourSpaces", "    ", "\xA1\xA1 ", "    "},
        // ＄～ use the 0xA1 forms, not 0xA3 0xA4 / 0xA3 0xFE
        ConversionCase{"DollarAndTilde", "$~", "\xA1\xE7\xA1\xAB", "$~"},
        ConversionCase{"DollarAndTildeBack", "\xA1\xE7\xA1\xAB", "\xA1\xE7\xA1\xAB", "$~"},
        ConversionCase{"NoRowForFullwidthDotYenMacron", "\xA3\xAE\xA3\xA4\xA3\xFE\xA1\xEA",
                       "\xA3\xAE\xA3\xA4\xA3\xFE\xA1\xEA", "\xA3\xAE\xA3\xA4\xA3\xFE\xA1\xEA"},
        ConversionCase{"TrailByteEqualToAscii", "\x81\x40", "\x81\x40", "\x81\x40"},
        // 中、“”\t\r\n pass through
        ConversionCase{"OutsideTheTable", "\xD6\xD0\xA1\xA2\xA1\xB0\xA1\xB1\t\r\n",
                       "\xD6\xD0\xA1\xA2\xA1\xB0\xA1\xB1\t\r\n", "\xD6\xD0\xA1\xA2\xA1\xB0\xA1\xB1\t\r\n"},
        ConversionCase{"LoneLeadByteAtEnd", "a\xA3", "\xA3\xE1\xA3", "a\xA3"},
        ConversionCase{"LeadBeforeAsciiTrail", "\xA3!", "\xA3!", "\xA3!"},
        ConversionCase{"BytesOutsideLeadRange", "\x80\xFF!", "\x80\xFF\xA3\xA1", "\x80\xFF!"},
        ConversionCase{"Empty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WidthRoundTrip, SolidusComesBackDoubled) {
    EXPECT_EQ(ToHalfWidth(ToFullWidth(GbkString("a/b"))).view(), "a//b");
}

TEST(WidthLargeInput, LongSpaceRunsAndLongTexts) {
    const std::string spaces(1'000'001, ' ');
    const std::string full = std::string(ToFullWidth(GbkString(spaces)).view());
    EXPECT_EQ(full.size(), 333'333u * 2 + 2);
    EXPECT_EQ(full.substr(full.size() - 4), "\xA1\xA1  ");
    EXPECT_EQ(ToHalfWidth(GbkString(full)).view(), spaces);
}

}  // namespace
}  // namespace tornix

namespace tornix {
namespace {

// The kernels write blocks past their last output byte; whatever they write
// must stay within the bound the caller sized the buffer from, and that bound
// within the one for the size alone.
TEST(WidthBound, KernelsWriteOnlyWithinTheBound) {
    const std::string texts[] = {
        std::string(200, 'a'),                                  // grows the most
        std::string(200, ' ') + "x",                            // shrinks
        std::string(130, '\xA1'),                               // U+3000 repeated: grows
        std::string(131, '\xA3') + "\xC1",                      // one long lead run
        "a.b$c~d  e   f\r\n" + std::string(140, '\xA3') + "z",  // mixed
    };
    for (const std::string& text : texts) {
        for (std::size_t prefix = 0; prefix < 20; ++prefix) {
            const std::string_view piece = std::string_view(text).substr(prefix);
            for (bool full : {true, false}) {
                const std::size_t bound = full ? ToFullWidthBound(piece) : ToHalfWidthBound(piece);
                std::string buffer(bound + 64, '\xEE');
                char* end = full ? ToFullWidthInto(piece, buffer.data()) : ToHalfWidthInto(piece, buffer.data());
                EXPECT_LE(static_cast<std::size_t>(end - buffer.data()), bound);
                EXPECT_LE(bound, full ? ToFullWidthBoundForSize(piece.size()) : ToHalfWidthBoundForSize(piece.size()));
                EXPECT_EQ(buffer.substr(bound), std::string(64, '\xEE'))
                    << (full ? "full " : "half ") << testing::Hex(piece);
            }
        }
    }
}

}  // namespace
}  // namespace tornix
