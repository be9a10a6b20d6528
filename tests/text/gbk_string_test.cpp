#include "text/gbk_string.h"

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "support/hex.h"
#include "support/naive_text.h"

namespace tornix {
namespace {

using testing::Hex;

TEST(GbkStringValue, CopiesAreIndependent) {
    GbkString original = "abc";
    GbkString copy = original;
    copy += "d";
    GbkString assigned;
    assigned = original;
    original.Replace("a", "x");
    EXPECT_EQ(copy.view(), "abcd");
    EXPECT_EQ(assigned.view(), "abc");
    EXPECT_EQ(original.view(), "xbc");
}

TEST(GbkStringValue, LiteralsViewsAndAppends) {
    GbkString text = "abc";
    text = "";
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text.GetLength(), 0u);

    // A view keeps every byte, NULs included; a literal stops at its NUL.
    const GbkString fromView(std::string_view("a\0b", 3));
    EXPECT_EQ(fromView.GetLength(), 3u);
    EXPECT_EQ(GbkString("a\0b").GetLength(), 1u);

    text += "\xD6\xD0";  // 中
    text += GbkString("x");
    EXPECT_EQ(text.view(), "\xD6\xD0x");
    EXPECT_EQ(text.GetString()[text.GetLength()], '\0');
}

struct ReplaceCase {
    const char* name;
    std::string text, oldText, newText;
    int count;
    std::string result;
    friend void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }
};

class ReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTest, ReplacesOnlyWholeCharactersLeftToRight) {
    const ReplaceCase& c = GetParam();
    GbkString text(c.text);
    EXPECT_EQ(text.Replace(c.oldText, c.newText), c.count);
    EXPECT_EQ(Hex(text.view()), Hex(c.result));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTest,
    ::testing::Values(ReplaceCase{"EverySingleOccurrence", "aaa", "a", "b", 3, "bbb"},
                      ReplaceCase{"NoOverlap", "aaaaa", "aa", "x", 2, "xxa"},
                      ReplaceCase{"InsertedTextNotRescanned", "aba", "a", "aa", 2, "aabaa"},
                      ReplaceCase{"TrailByteIsNotACharacter", "\x81\x40", "@", "\xA3\xC0", 0, "\x81\x40"},
                      ReplaceCase{"MatchAfterTwoByteCharacter", "\x81\x40@", "@", "#", 1, "\x81\x40#"},
                      ReplaceCase{"TwoByteNeedleOnlyAtBoundary", "\x81\xA3\xA3\xA1", "\xA3\xA1", "!", 1, "\x81\xA3!"},
                      ReplaceCase{"LoneLeadByteAtEndIsOneCharacter", "a\x81", "\x81", "z", 1, "az"},
                      ReplaceCase{"NeedleLongerThanText", "ab", "abc", "x", 0, "ab"},
                      ReplaceCase{"EmptyNeedleChangesNothing", "abc", "", "x", 0, "abc"},
                      ReplaceCase{"ReplaceWithEmpty", "a b c", " ", "", 2, "abc"},
                      ReplaceCase{"EmptyText", "", "a", "b", 0, ""},
                      ReplaceCase{"NeedleStraddlingCharacters", "\xB0\xA1\xB0", "\xA1\xB0", "x", 0, "\xB0\xA1\xB0"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TrimCase {
    const char* name;
    std::string text, left, right, both;
    friend void PrintTo(const TrimCase& c, std::ostream* os) { *os << c.name; }
};

class TrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimTest, RemovesSingleByteWhiteSpaceOnly) {
    const TrimCase& c = GetParam();
    GbkString left(c.text), right(c.text), both(c.text);
    left.TrimLeft();
    right.TrimRight();
    both.TrimLeft();
    both.TrimRight();
    EXPECT_EQ(Hex(left.view()), Hex(c.left));
    EXPECT_EQ(Hex(right.view()), Hex(c.right));
    EXPECT_EQ(Hex(both.view()), Hex(c.both));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimTest,
    ::testing::Values(TrimCase{"AllSixWhiteSpaceBytes", "\r\n  abc \t\r\n", "abc \t\r\n", "\r\n  abc", "abc"},
                      TrimCase{"OnlyWhiteSpace", " \t\v\f\r\n", "", "", ""},
                      TrimCase{"IdeographicSpaceKept", "\xA1\xA1x\xA1\xA1", "\xA1\xA1x\xA1\xA1", "\xA1\xA1x\xA1\xA1",
                               "\xA1\xA1x\xA1\xA1"},
                      TrimCase{"LoneLeadByteAtEnd", "a\x81", "a\x81", "a\x81", "a\x81"},
                      TrimCase{"SpaceAsTrailByteStays", "a\x81 ", "a\x81 ", "a\x81 ", "a\x81 "},
                      TrimCase{"SpaceAfterTrailGoes", "\x81\x81 ", "\x81\x81 ", "\x81\x81", "\x81\x81"},
                      TrimCase{"SpaceAfterOddLeadRun", "\x81\x81\x81  ", "\x81\x81\x81  ", "\x81\x81\x81 ",
                               "\x81\x81\x81 "},
                      TrimCase{"OtherControlsAreNotWhiteSpace", "\x1A\x1F", "\x1A\x1F", "\x1A\x1F", "\x1A\x1F"},
                      TrimCase{"Empty", "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// TrimRight looks backwards from the end; the definition walks forwards from
// the start. Every text of up to five bytes over an alphabet that mixes lead
// bytes, white space and plain bytes must agree.
TEST(GbkStringTrim, BackwardTrimMatchesForwardWalkOnAllShortTexts) {
    const std::string alphabet = {' ', '\t', 'a', '\x81', '\xA1', '\xFF', '\x80'};
    std::string text;
    for (int length = 0; length <= 5; ++length) {
        int total = 1;
        for (int i = 0; i < length; ++i) total *= static_cast<int>(alphabet.size());
        for (int n = 0; n < total; ++n) {
            text.clear();
            for (int i = 0, k = n; i < length; ++i, k /= static_cast<int>(alphabet.size())) {
                text += alphabet[static_cast<std::size_t>(k) % alphabet.size()];
            }
            GbkString value(text);
            value.TrimRight();
            ASSERT_EQ(Hex(value.view()), Hex(testing::NaiveTrimRight(text))) << "text " << Hex(text);
        }
    }
}

TEST(GbkStringLoadString, KnownAndUnknownIds) {
    GbkString text = "previous";
    EXPECT_NE(text.LoadStringA(IDS_ABOUT_MENU), 0);
    EXPECT_EQ(text.view(), "\xB9\xD8\xD3\xDA(&A)...");  // 关于(&A)...
    EXPECT_EQ(text.LoadStringA(9999), 0);
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
}  // namespace tornix
