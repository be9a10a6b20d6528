// WidthStream against the whole-text routines: every case is cut in every
// possible place, written byte by byte and in random chunk sizes, and must
// give exactly what ToFullWidth / ToHalfWidth (after TrimLeft and TrimRight
// with trim) give for the whole text; in UTF-8, what the definition of the
// UTF-8 conversions gives (width_reference.h). Every text is also streamed
// as UTF-8, where code page 936 bytes are mostly bytes of no character.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "convert/width.h"
#include "convert/width_stream.h"
#include "support/hex.h"
#include "support/width_reference.h"

namespace tornix {
namespace {

using testing::Hex;

struct Mode {
    WidthDirection direction;
    bool trim;
    WidthEncoding encoding = WidthEncoding::kGbk;
};

constexpr Mode kModes[] = {
    {WidthDirection::kToFull, false},
    {WidthDirection::kToHalf, false},
    {WidthDirection::kToFull, true},
    {WidthDirection::kToHalf, true},
    {WidthDirection::kToFull, false, WidthEncoding::kUtf8},
    {WidthDirection::kToHalf, false, WidthEncoding::kUtf8},
    {WidthDirection::kToFull, true, WidthEncoding::kUtf8},
    {WidthDirection::kToHalf, true, WidthEncoding::kUtf8},
};

std::string ModeName(const Mode& mode) {
    return std::string(mode.direction == WidthDirection::kToFull ? "to-full" : "to-half") +
           (mode.trim ? " --trim" : "") + (mode.encoding == WidthEncoding::kUtf8 ? " utf-8" : "");
}

std::string WholeText(const std::string& text, const Mode& mode) {
    if (mode.encoding == WidthEncoding::kUtf8) {
        return mode.direction == WidthDirection::kToFull ? testing::ReferenceToFullWidthUtf8(text, mode.trim)
                                                         : testing::ReferenceToHalfWidthUtf8(text, mode.trim);
    }
    GbkString value(text);
    if (mode.trim) {
        value.TrimLeft();
        value.TrimRight();
    }
    const GbkString result = mode.direction == WidthDirection::kToFull ? ToFullWidth(value) : ToHalfWidth(value);
    return std::string(result.view());
}

// A spill in memory, handing its bytes back in odd pieces.
class StringSpill : public HeldSpill {
public:
    int Append(std::string_view bytes) override {
        m_bytes.append(bytes);
        return 0;
    }
    int ReadBack(const std::function<void(std::string_view)>& take) override {
        for (std::size_t at = 0; at < m_bytes.size(); at += 99991) take(std::string_view(m_bytes).substr(at, 99991));
        return 0;
    }
    void Clear() override { m_bytes.clear(); }

private:
    std::string m_bytes;
};

// Writes `text` in pieces of the given sizes (the rest in one last piece).
std::string Streamed(const std::string& text, const Mode& mode, const std::vector<std::size_t>& sizes,
                     std::size_t* largestPiece = nullptr) {
    std::string out;
    StringSpill spill;
    WidthStream stream(
        mode.direction, mode.trim,
        [&](std::string_view bytes) {
            EXPECT_FALSE(bytes.empty()) << "the sink was called with nothing";
            if (largestPiece != nullptr) *largestPiece = std::max(*largestPiece, bytes.size());
            out.append(bytes);
            return true;
        },
        mode.encoding, &spill);
    std::size_t at = 0;
    for (std::size_t size : sizes) {
        size = std::min(size, text.size() - at);
        EXPECT_TRUE(stream.Write(std::string_view(text).substr(at, size)));
        at += size;
    }
    EXPECT_TRUE(stream.Write(std::string_view(text).substr(at)));
    EXPECT_TRUE(stream.Finish());
    return out;
}

struct Case {
    const char* name;
    std::string text;
};

// Texts whose correct conversion depends on what lies on both sides of a cut.
const Case kCases[] = {
    {"empty", ""},
    {"ascii sentence", "Hello, World!"},
    {"three spaces between letters", "a   b"},
    {"seven spaces", "x       y"},
    {"only spaces", "          "},
    {"full-width letters and U+3000", "\xA3\xC1\xA1\xA1\xA3\xE2\xA1\xA3\xA3\xAF"},
    {"lone lead byte at the end", "ab\x81"},
    {"lead byte with a space trail", "\x81  \x81 "},
    {"lead byte with a line-feed trail", "x\x81\n\x81\r"},
    {"run of lead bytes", "\xA1\xA1\xA1\xA1\xA1\xA3\xA3\xA3\xC1"},
    {"odd run of lead bytes before spaces", "a\xA1\xA1\xA1   b"},
    {"trail equal to an ASCII row", "\x81@\xA3@@"},
    {"white space at both ends", "\r\n  abc \t\r\n"},
    {"U+3000 at both ends is not trimmed", "\xA1\xA1 x \xA1\xA1"},
    {"only white space", " \t\r\n\v\f   "},
    {"white space inside is kept", "a \r\n   \t b   "},
    {"spaces then a lone lead byte", "a     \xA3"},
    {"trailing space run after text", "abc      "},
    {"solidus and full stop", "a/b.c\xA3\xAF\xA1\xA3"},
    {"utf-8 forms and spaces", "ａ　 ｂ。．／  x"},
    {"utf-8 four-byte character and bytes of none", "😀\xE4\xB8 a\xEF\xBC\xF0\x9F\x98"},
    {"utf-8 white space after a character", " 中 \t"},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class WidthStreamCase : public ::testing::TestWithParam<Case> {};

TEST_P(WidthStreamCase, EveryCutGivesTheWholeTextResult) {
    const std::string& text = GetParam().text;
    for (const Mode& mode : kModes) {
        const std::string expected = WholeText(text, mode);
        ASSERT_EQ(Hex(Streamed(text, mode, {})), Hex(expected)) << ModeName(mode) << " in one piece";
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            ASSERT_EQ(Hex(Streamed(text, mode, {cut})), Hex(expected))
                << ModeName(mode) << " cut after byte " << cut << " of " << Hex(text);
            for (std::size_t second = cut; second <= text.size(); ++second) {
                ASSERT_EQ(Hex(Streamed(text, mode, {cut, second - cut})), Hex(expected))
                    << ModeName(mode) << " cut after bytes " << cut << " and " << second << " of " << Hex(text);
            }
        }
        ASSERT_EQ(Hex(Streamed(text, mode, std::vector<std::size_t>(text.size(), 1))), Hex(expected))
            << ModeName(mode) << " byte by byte, " << Hex(text);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, WidthStreamCase, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// Known results, so that the stream and the whole-text routines cannot agree
// on a wrong answer.
TEST(WidthStream, KnownResultsAcrossCuts) {
    const Mode full{WidthDirection::kToFull, false};
    const Mode half{WidthDirection::kToHalf, false};
    const Mode fullTrim{WidthDirection::kToFull, true};
    EXPECT_EQ(Hex(Streamed("a   b", full, {2, 2})), Hex("\xA3\xE1\xA1\xA1\xA3\xE2"));
    EXPECT_EQ(Hex(Streamed("    ", full, {1, 1, 1})), Hex("\xA1\xA1 "));
    EXPECT_EQ(Hex(Streamed("\xA3\xC1\xA1\xA1", half, {1, 2})), Hex("A   "));
    EXPECT_EQ(Hex(Streamed("x\xA3", half, {1})), Hex("x\xA3"));
    EXPECT_EQ(Hex(Streamed(" \r\n a  \r\n ", fullTrim, {3, 3})), Hex("\xA3\xE1"));
    EXPECT_EQ(Hex(Streamed("a\x81 ", fullTrim, {2})), Hex("\xA3\xE1\x81 "));
}

std::string RandomPiece(std::mt19937& rng) {
    auto pick = [&rng](int bound) { return static_cast<int>(rng() % static_cast<unsigned>(bound)); };
    auto byte = [](int value) { return static_cast<char>(value); };
    switch (pick(9)) {
        case 0:
            return std::string(static_cast<std::size_t>(1 + pick(10)), ' ');
        case 1:
            return std::string(1, " \t\r\n\v\f"[pick(6)]);
        case 2:
            return {byte(0xA3), byte(0xA1 + pick(0x5E))};
        case 3:
            return "\xA1\xA1";
        case 4:
            return {byte(0x81 + pick(0x7E)), byte(pick(0x80))};  // trail may be ASCII or white space
        case 5:
            return std::string(1, byte(0x21 + pick(0x5E)));
        case 6:
            return std::string(1, byte(0x81 + pick(0x7E)));  // a lead byte that shifts what follows
        case 7:
            return "\xA1\xA3";
        default:
            return std::string(1, byte(pick(256)));
    }
}

class WidthStreamRandom : public ::testing::TestWithParam<unsigned> {};

TEST_P(WidthStreamRandom, RandomChunkingGivesTheWholeTextResult) {
    std::mt19937 rng(GetParam());
    for (int n = 0; n < 2000; ++n) {
        std::string text;
        const int pieces = static_cast<int>(rng() % 40);
        for (int i = 0; i < pieces; ++i) text += RandomPiece(rng);
        std::vector<std::size_t> sizes;
        for (std::size_t total = 0; total < text.size();) {
            sizes.push_back(rng() % 7);
            total += sizes.back();
        }
        for (const Mode& mode : kModes) {
            ASSERT_EQ(Hex(Streamed(text, mode, sizes)), Hex(WholeText(text, mode)))
                << ModeName(mode) << " of " << Hex(text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, WidthStreamRandom, ::testing::Values(1u, 8u, 20261208u));

// Large inputs: runs far longer than any buffer, reads larger than one
// converted piece, and white space held back long enough to leave memory.
// No piece handed to the sink may be larger than the stream's own buffers.
struct LargeCase {
    const char* name;
    std::string text;
    std::vector<std::size_t> sizes;
};

std::string Repeat(const std::string& unit, std::size_t times) {
    std::string text;
    text.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += unit;
    return text;
}

constexpr std::size_t kLargestSinkPiece = 1024 * 1024;

TEST(WidthStream, LargeInputsStayWithinBoundedPieces) {
    const std::string mixed = Repeat("\xD6\xD0\xCE\xC4 text, \xA3\xC1\xA3\xC2\xA1\xA1 1.5/2   ", 40000);
    const std::string mixedUtf8 = Repeat("中文 text, ＡＢ　 1.5/2   ", 40000);
    const std::vector<LargeCase> cases = {
        {"million spaces between letters", "a" + std::string(1000003, ' ') + "b", {7, 300000, 5}},
        {"million spaces at the end", "a" + std::string(1000001, ' '), {1, 262144, 262145}},
        {"white space beyond memory then text",
         "x" + Repeat(" \r\n\t  ", 700000) + "y" + Repeat("\r\n", 10),
         {5, 1000000}},
        {"white space beyond memory at the end", "x" + Repeat("\r\n   ", 600000), {3, 2000000}},
        {"lead byte on the piece limit", std::string(262143, 'a') + "\xA3\xC1" + mixed, {5000000}},
        {"utf-8 form on the piece limit", std::string(262142, 'a') + "ａ" + mixedUtf8, {5000000}},
        {"one write of mixed utf-8 text", mixedUtf8, {}},
        {"one write of mixed text", mixed, {}},
        {"all lead bytes", std::string(700001, '\xA1'), {}},
    };
    for (const LargeCase& large : cases) {
        for (const Mode& mode : kModes) {
            std::size_t largest = 0;
            const std::string streamed = Streamed(large.text, mode, large.sizes, &largest);
            const std::string expected = WholeText(large.text, mode);
            ASSERT_EQ(streamed.size(), expected.size()) << large.name << ", " << ModeName(mode);
            ASSERT_TRUE(streamed == expected) << large.name << ", " << ModeName(mode);
            EXPECT_LE(largest, kLargestSinkPiece) << large.name << ", " << ModeName(mode);
        }
    }
}

// Where the stream may cut, and what a cut character becomes with one more
// byte: a cut too early splits a character, one too late never lets go of
// bytes that begin none.
TEST(CharacterCuts, UnfinishedTailsAndWhatTheNextByteMakesOfThem) {
    constexpr auto kGbk = WidthEncoding::kGbk;
    constexpr auto kUtf8 = WidthEncoding::kUtf8;
    const struct {
        WidthEncoding encoding;
        std::string text;
        std::size_t tail;
    } tails[] = {
        {kGbk, "ab\xA3", 1},
        {kGbk, "\xA3\xA3", 0},
        {kGbk, "\xA3\xA3\xA3", 1},
        {kUtf8, "", 0},
        {kUtf8, "a\xE4", 1},
        {kUtf8, "a\xE4\xB8", 2},
        {kUtf8, "\xF0\x9F\x98", 3},
        {kUtf8, "\xF0\x9F\x98\x80", 0},
        {kUtf8, "\xE4\xB8\xAD", 0},
        {kUtf8, "\xE0\x80", 0},
        {kUtf8, "\xED\xA0", 0},
        {kUtf8, "\xF4\x90", 0},
        {kUtf8, "\xC0", 0},
        {kUtf8, "\xB8", 0},
        {kUtf8, "\xE4\xB8\xAD\xB8", 0},
    };
    for (const auto& c : tails) EXPECT_EQ(UnfinishedTail(c.text, c.encoding), c.tail) << Hex(c.text);
    const struct {
        WidthEncoding encoding;
        std::string unfinished;
        char next;
        Continuation result;
    } continuations[] = {
        {kGbk, "\xA3", ' ', Continuation::kComplete},
        {kUtf8, "\xE4", '\xB8', Continuation::kUnfinished},
        {kUtf8, "\xE4\xB8", '\xAD', Continuation::kComplete},
        {kUtf8, "\xE4\xB8", 'a', Continuation::kBroken},
        {kUtf8, "\xF0", '\x8F', Continuation::kBroken},  // overlong
        {kUtf8, "\xF0\x9F\x98", '\x80', Continuation::kComplete},
    };
    for (const auto& c : continuations) {
        EXPECT_EQ(ContinueCharacter(c.unfinished, c.next, c.encoding), c.result) << Hex(c.unfinished + c.next);
    }
    EXPECT_FALSE(BeginsCharacter("\xE4\xB8\xAD ", 3, kGbk));  // 0xAD takes the space in code page 936
    EXPECT_TRUE(BeginsCharacter("\xE4\xB8\xAD ", 3, kUtf8));
}

TEST(WidthStream, SinkFailureStopsTheStream) {
    int calls = 0;
    WidthStream stream(WidthDirection::kToFull, false, [&calls](std::string_view) {
        ++calls;
        return false;
    });
    EXPECT_FALSE(stream.Write("abc"));
    EXPECT_EQ(stream.failure(), WidthStream::Failure::kSink);
    EXPECT_FALSE(stream.Write("def"));
    EXPECT_FALSE(stream.Finish());
    EXPECT_EQ(calls, 1) << "a failed sink was called again";
}

TEST(WidthStream, TrimDropsTextOfOnlyWhiteSpace) {
    int calls = 0;
    WidthStream stream(WidthDirection::kToFull, true, [&calls](std::string_view) {
        ++calls;
        return true;
    });
    EXPECT_TRUE(stream.Write(" \r\n      "));
    EXPECT_TRUE(stream.Write("\t"));
    EXPECT_TRUE(stream.Finish());
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(stream.onlyWhiteSpace());

    WidthStream text(WidthDirection::kToFull, true, [](std::string_view) { return true; });
    EXPECT_TRUE(text.Write("  \xA1\xA1 "));  // U+3000 is not white space to the trims
    EXPECT_TRUE(text.Finish());
    EXPECT_FALSE(text.onlyWhiteSpace());
}

}  // namespace
}  // namespace tornix
