// The UTF-8 conversions against their definition: the UTF-8 of the code page
// 936 conversion of the text's GB18030 form (width_reference.h), computed by
// the text layer's transcoder and the code page 936 routines. Every scalar
// value, every table row, the pieces that block kernels get wrong at every
// offset, and random texts with invalid bytes, whole and streamed.
#include "convert/width_utf8.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "convert/width.h"
#include "convert/width_stream.h"
#include "kernels/utf8_tables.h"
#include "support/hex.h"
#include "support/width_reference.h"
#include "text/display_codec.h"
#include "text/transcode.h"

namespace tornix {
namespace {

using namespace tornix::testing;

std::string Utf8Of(std::string_view gbk) {
    return EncodeText(gbk, {Charset::kUtf8, false});
}

void ExpectMatchesDefinition(const std::string& text) {
    ASSERT_EQ(Hex(ToFullWidthUtf8(text)), Hex(ReferenceToFullWidthUtf8(text))) << "ToFullWidthUtf8 of " << Hex(text);
    ASSERT_EQ(Hex(ToHalfWidthUtf8(text)), Hex(ReferenceToHalfWidthUtf8(text))) << "ToHalfWidthUtf8 of " << Hex(text);
}

// The characters the kernels' tables take the table's full-width forms to
// be, against the platform's code page 936 converter.
TEST(WidthUtf8Table, FullFormCharactersAreTheCodePagesOwn) {
    std::vector<std::uint16_t> codes;
    for (const kernels::CodePage936Character& known : kernels::kFullFormCharacters) codes.push_back(known.code);
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) codes.push_back(static_cast<std::uint16_t>(0xA300 | trail));
    for (const std::uint16_t code : codes) {
        const std::string gbk{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        const std::u16string shown = DecodeForDisplay(gbk);
        ASSERT_EQ(shown.size(), 1u) << Hex(gbk);
        EXPECT_EQ(static_cast<char32_t>(shown[0]), kernels::CodePage936CharacterOf(gbk[0], gbk[1])) << Hex(gbk);
    }
}

// Each row both ways, its forms made UTF-8 by the transcoder.
TEST(WidthUtf8Table, EveryRowAsTheCodePageConversionGivesIt) {
    for (int row = 0; row < kWidthTableRows; ++row) {
        const std::string full = Utf8Of(kWidthTable[row].full);
        const std::string half = row == kSolidusRow ? "//" : kWidthTable[row].half;
        EXPECT_EQ(Hex(ToFullWidthUtf8(kWidthTable[row].half)), Hex(full)) << "row " << row + 1;
        EXPECT_EQ(Hex(ToHalfWidthUtf8(full)), Hex(half)) << "row " << row + 1;
    }
}

struct Utf8Case {
    const char* name;
    std::string input, full, half;
    friend void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }
};

class WidthUtf8Case : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(WidthUtf8Case, BothDirections) {
    const Utf8Case& c = GetParam();
    EXPECT_EQ(Hex(ToFullWidthUtf8(c.input)), Hex(c.full)) << "ToFullWidthUtf8";
    EXPECT_EQ(Hex(ToHalfWidthUtf8(c.input)), Hex(c.half)) << "ToHalfWidthUtf8";
}

// Known results, in UTF-8, so that the kernels and the definition cannot
// agree on a wrong answer.
INSTANTIATE_TEST_SUITE_P(
    Cases, WidthUtf8Case,
    ::testing::Values(Utf8Case{"HelloWorld", "Hello, World!", "Ｈｅｌｌｏ， Ｗｏｒｌｄ！", "Hello, World!"},
                      Utf8Case{"SpacesByThree", "a       b", "ａ　　 ｂ", "a       b"},
                      Utf8Case{"FullStopAndItsForms", "a.b。c．", "ａ。ｂ。ｃ．", "a.b.c．"},
                      Utf8Case{"SolidusDoubles", "/／", "／／", "///"},
                      Utf8Case{"IdeographicSpace", "　x", "　ｘ", "   x"},
                      Utf8Case{"DollarTildeYenMacron", "$~￥￣", "＄～￥￣", "$~￥￣"},
                      Utf8Case{"OutsideTheTable", "中文、😀\t\r\n", "中文、😀\t\r\n", "中文、😀\t\r\n"},
                      // A byte of no character is one of its own: the ASCII after it converts.
                      Utf8Case{"CutFormBeforeAscii", "\xEF\xBC!", "\xEF\xBC！", "\xEF\xBC!"},
                      Utf8Case{"CutSpaceBeforeSpaces", "\xE3\x80   ", "\xE3\x80　", "\xE3\x80   "},
                      Utf8Case{"OverlongFullStop", "\xC0\xAE\xE0\x80\xAE", "\xC0\xAE\xE0\x80\xAE",
                               "\xC0\xAE\xE0\x80\xAE"},
                      Utf8Case{"SurrogateAndBeyondU10FFFF", "\xED\xA0\x80\xF4\x90\x80\x80",
                               "\xED\xA0\x80\xF4\x90\x80\x80", "\xED\xA0\x80\xF4\x90\x80\x80"},
                      Utf8Case{"FormCutByTheEnd", "x\xEF\xBC", "ｘ\xEF\xBC", "x\xEF\xBC"}),
    [](const auto& info) { return std::string(info.param.name); });

// Every scalar value, one after the other: each meets the block ends at some
// offset, and the neighbours it has in Unicode order.
TEST(WidthUtf8Sweep, EveryScalarValue) {
    std::string text;
    for (char32_t value = 0; value <= 0x10FFFF; ++value) {
        if (value >= 0xD800 && value <= 0xDFFF) continue;
        const kernels::Utf8Form form = kernels::EncodeUtf8(value);
        text.append(form.bytes, form.length);
    }
    ExpectMatchesDefinition(text);
}

// The pieces that block kernels get wrong, at every offset from 0 to 130, so
// that each crosses the end of a 16-, 32- and 64-byte block, inside Chinese,
// ASCII and full-width text.
TEST(WidthUtf8Sweep, AwkwardPiecesAtEveryOffset) {
    const std::string pieces[] = {
        "！",
        "／",
        "．",
        "　",
        "。",
        "ａ",
        "～",
        "\xEF\xBC",
        "\xE3\x80",
        "\xF0\x9F\x98",
        "\xBC\x81",
        "a.b$~",
        std::string(2, ' '),
        std::string(3, ' '),
        std::string(40, ' '),
        std::string(70, ' '),
    };
    const std::string fillers[] = {"中文", "ab", "ＡＢ", "　。"};
    for (const std::string& filler : fillers) {
        std::string around;
        while (around.size() < 200) around += filler;
        for (const std::string& piece : pieces) {
            for (std::size_t offset = 0; offset <= 130; ++offset) {
                ExpectMatchesDefinition(around.substr(0, offset) + piece + around.substr(0, 70));
                if (HasFatalFailure()) return;
            }
        }
    }
}

std::string RandomPiece(std::mt19937& rng) {
    auto pick = [&rng](unsigned bound) { return static_cast<unsigned>(rng() % bound); };
    static const char* const kCharacters[] = {
        "　", "。", "．", "／", "、", "中文", "😀", "\xF0\xA0\x80\x80", "\xEF\xBF\xBD", "\xC2\xA0",
    };
    static const char* const kInvalid[] = {
        "\xE4\xB8",     "\xEF\xBC",     "\xE3\x80",         "\xEF", "\xE3", "\xF0\x9F\x98", "\xC0\xAE",
        "\xE0\x80\xAE", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5", "\xFF", "\xC2",
    };
    switch (pick(8)) {
        case 0:
            return std::string(1 + pick(pick(8) == 0 ? 140 : 8), ' ');
        case 1: {
            std::string ascii;
            for (unsigned n = 1 + pick(20); n > 0; --n)
                ascii += static_cast<char>(pick(4) == 0 ? pick(0x80) : 0x20 + pick(0x5F));
            return ascii;
        }
        case 2:  // U+FF00..U+FF7F and U+3000..U+303F: the forms and their neighbours
            return pick(2) == 0
                       ? std::string{'\xEF', static_cast<char>(0xBC + pick(2)), static_cast<char>(0x80 + pick(64))}
                       : std::string{'\xE3', '\x80', static_cast<char>(0x80 + pick(64))};
        case 3:
            return kCharacters[pick(std::size(kCharacters))];
        case 4:
            return kInvalid[pick(std::size(kInvalid))];
        case 5:
            return std::string(1, static_cast<char>(0x80 + pick(0x40)));  // a lone continuation byte
        case 6:
            return std::string(1 + pick(20), '\xE6');  // many lead bytes in a row
        default:
            return std::string(1, static_cast<char>(pick(256)));
    }
}

std::string Streamed(const std::string& text, WidthDirection direction, std::size_t pieceSize) {
    std::string out;
    WidthStream stream(
        direction, false,
        [&out](std::string_view bytes) {
            out.append(bytes);
            return true;
        },
        WidthEncoding::kUtf8);
    for (std::size_t at = 0; at < text.size(); at += pieceSize) {
        EXPECT_TRUE(stream.Write(std::string_view(text).substr(at, pieceSize)));
    }
    EXPECT_TRUE(stream.Finish());
    return out;
}

class WidthUtf8Random : public ::testing::TestWithParam<unsigned> {};

TEST_P(WidthUtf8Random, WholeAndStreamedMatchTheDefinition) {
    std::mt19937 rng(GetParam());
    static const char kPrefixBytes[] = {'a', ' ', '\xEF', '\xE3', '\xBC', '\x80'};
    for (int n = 0; n < 1500; ++n) {
        std::string body;
        for (int pieces = static_cast<int>(rng() % (rng() % 4 == 0 ? 80 : 20)); pieces > 0; --pieces) {
            body += RandomPiece(rng);
        }
        for (int prefixLength = 0; prefixLength <= 3; ++prefixLength) {
            std::string text;
            for (int i = 0; i < prefixLength; ++i) text += kPrefixBytes[rng() % sizeof kPrefixBytes];
            text += body;
            ExpectMatchesDefinition(text);
            if (HasFatalFailure()) return;
        }
        const std::string full = ToFullWidthUtf8(body);
        const std::string half = ToHalfWidthUtf8(body);
        for (std::size_t pieceSize = 1; pieceSize <= 8; ++pieceSize) {
            ASSERT_EQ(Hex(Streamed(body, WidthDirection::kToFull, pieceSize)), Hex(full))
                << "in pieces of " << pieceSize << ": " << Hex(body);
            ASSERT_EQ(Hex(Streamed(body, WidthDirection::kToHalf, pieceSize)), Hex(half))
                << "in pieces of " << pieceSize << ": " << Hex(body);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, WidthUtf8Random, ::testing::Values(1u, 20261208u, 0xC0FFEEu));

// What the kernels write past their last output byte stays within the bound
// (see WidthBound in width_test.cpp), on texts that grow the most (every byte
// printable), shrink the most, and keep their size.
TEST(WidthBound, Utf8KernelsWriteOnlyWithinTheBound) {
    std::string forms;
    while (forms.size() < 200) forms += "！。";
    const std::string texts[] = {
        std::string(200, 'a'),
        forms,
        std::string(60, 'a') + std::string(17, '\xE3'),  // a block's last quarter grows nothing
        std::string(200, ' ') + "x",
        "a.b$c~d  e   f\r\n／\xEF\xBC" + std::string(140, 'z'),
    };
    for (const std::string& text : texts) {
        for (std::size_t prefix = 0; prefix < 20; ++prefix) {
            const std::string_view piece = std::string_view(text).substr(prefix);
            for (bool full : {true, false}) {
                const std::size_t bound = full ? ToFullWidthUtf8Bound(piece) : ToHalfWidthUtf8Bound(piece);
                std::string buffer(bound + 64, '\xEE');
                char* end =
                    full ? ToFullWidthUtf8Into(piece, buffer.data()) : ToHalfWidthUtf8Into(piece, buffer.data());
                EXPECT_LE(static_cast<std::size_t>(end - buffer.data()), bound);
                EXPECT_LE(bound,
                          full ? ToFullWidthUtf8BoundForSize(piece.size()) : ToHalfWidthUtf8BoundForSize(piece.size()));
                EXPECT_EQ(buffer.substr(bound), std::string(64, '\xEE')) << (full ? "full " : "half ") << Hex(piece);
            }
        }
    }
}

}  // namespace
}  // namespace tornix
