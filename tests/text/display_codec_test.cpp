// The display codec against its golden table (every one- and two-byte unit,
// every UTF-16 unit on its own), the corners of code page 936 and of the
// token rules, random round trips both ways, and the width conversions
// through it. Uses no platform converter, so that every implementation of the
// codec is held to the same source and the same table.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "convert/width.h"
#include "support/hex.h"
#include "text/display_codec.h"
#include "text/gbk_string.h"

namespace tornix {
namespace {

using testing::FromHex;
using testing::Hex;

std::string Units(std::u16string_view text) {
    std::string shown;
    char unit[8];
    for (char16_t c : text) {
        std::snprintf(unit, sizeof unit, "%s%04X", shown.empty() ? "" : " ", static_cast<unsigned>(c));
        shown += unit;
    }
    return shown;
}

std::string UnitName(unsigned long unit) {
    return Units(std::u16string(1, static_cast<char16_t>(unit)));
}

// How the codec shows bytes that are not a character.
std::u16string Escaped(std::string_view bytes) {
    std::u16string text;
    for (unsigned char byte : bytes) {
        text += static_cast<char16_t>(0xFDD0 + (byte >> 4));
        text += static_cast<char16_t>(0xFDE0 + (byte & 0x0F));
    }
    return text;
}

std::string Gb18030FourBytes(unsigned long linear) {
    return {static_cast<char>(0x81 + linear / 12600), static_cast<char>(0x30 + linear / 1260 % 10),
            static_cast<char>(0x81 + linear / 10 % 126), static_cast<char>(0x30 + linear % 10)};
}

unsigned long LinearIndex(const std::string& b) {
    auto at = [&b](std::size_t i) { return static_cast<unsigned long>(static_cast<unsigned char>(b[i])); };
    return (at(0) - 0x81) * 12600 + (at(1) - 0x30) * 1260 + (at(2) - 0x81) * 10 + (at(3) - 0x30);
}

struct Golden {
    std::vector<std::pair<std::string, std::u16string>> shortUnits;         // bytes, how they are shown
    std::vector<std::string> unitForm = std::vector<std::string>(0x10000);  // bytes of each UTF-16 unit alone
    std::vector<std::pair<char32_t, std::string>> supplementary;
    std::vector<std::string> problems;  // units given no form or two forms
};

Golden ReadGolden() {
    Golden golden;
    std::ifstream file(TORNIX_CODEC_GOLDEN);
    auto setForm = [&golden](unsigned long unit, const std::string& bytes) {
        if (!golden.unitForm[unit].empty()) golden.problems.push_back("two forms for " + UnitName(unit));
        golden.unitForm[unit] = bytes;
    };
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string first, second, third, fourth;
        fields >> first >> second >> third >> fourth;
        if (first == "gb18030" || first == "carrier") {
            const unsigned long from = std::stoul(second, nullptr, 16), to = std::stoul(third, nullptr, 16);
            for (unsigned long unit = from; unit <= to; ++unit)
                setForm(unit, Gb18030FourBytes(LinearIndex(FromHex(fourth)) + unit - from));
        } else if (first == "supplementary") {
            golden.supplementary.emplace_back(static_cast<char32_t>(std::stoul(second, nullptr, 16)), FromHex(third));
        } else if (second == "-") {
            golden.shortUnits.emplace_back(FromHex(first), Escaped(FromHex(first)));
        } else {
            const auto unit = static_cast<char16_t>(std::stoul(second, nullptr, 16));
            golden.shortUnits.emplace_back(FromHex(first), std::u16string(1, unit));
            setForm(unit, FromHex(first));
        }
    }
    for (unsigned long unit = 0; unit < 0x10000; ++unit)
        if (golden.unitForm[unit].empty()) golden.problems.push_back("no form for " + UnitName(unit));
    return golden;
}

const Golden& TheGolden() {
    static const Golden golden = ReadGolden();
    return golden;
}

#define ASSERT_GOLDEN_READ() \
    ASSERT_EQ(TheGolden().shortUnits.size(), 256u + 126u * 256u) << "cannot read " << TORNIX_CODEC_GOLDEN

TEST(DisplayCodecGolden, TableCoversEveryUnitOnce) {
    ASSERT_GOLDEN_READ();
    const Golden& golden = TheGolden();
    EXPECT_TRUE(golden.problems.empty()) << golden.problems.size() << " problems, first: " << golden.problems[0];
    EXPECT_GT(golden.supplementary.size(), 10u);
}

TEST(DisplayCodecGolden, EveryOneAndTwoByteUnitDecodesAsRecordedAndEncodesBack) {
    ASSERT_GOLDEN_READ();
    int failures = 0;
    for (const auto& [bytes, shown] : TheGolden().shortUnits) {
        const std::u16string decoded = DecodeForDisplay(bytes);
        EXPECT_EQ(Units(decoded), Units(shown)) << "decoding " << Hex(bytes);
        EXPECT_EQ(Hex(EncodeFromDisplay(decoded)), Hex(bytes)) << "decode-then-encode of " << Hex(bytes);
        if (HasFailure() && ++failures > 20) FAIL() << "giving up after 20 units";
    }
}

TEST(DisplayCodecGolden, EveryUtf16UnitEncodesAsRecordedAndDecodesBack) {
    ASSERT_GOLDEN_READ();
    int failures = 0;
    for (unsigned long unit = 0; unit < 0x10000; ++unit) {
        const std::u16string text(1, static_cast<char16_t>(unit));
        const std::string encoded = EncodeFromDisplay(text);
        EXPECT_EQ(Hex(encoded), Hex(TheGolden().unitForm[unit])) << "encoding " << Units(text);
        EXPECT_EQ(Units(DecodeForDisplay(encoded)), Units(text)) << "encode-then-decode of " << Units(text);
        if (HasFailure() && ++failures > 20) FAIL() << "giving up after 20 units";
    }
}

TEST(DisplayCodecGolden, SupplementaryCharactersUseTheirGb18030Forms) {
    ASSERT_GOLDEN_READ();
    for (const auto& [codePoint, bytes] : TheGolden().supplementary) {
        const std::u16string text = {static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)),
                                     static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF))};
        EXPECT_EQ(Hex(EncodeFromDisplay(text)), Hex(bytes)) << "encoding " << Units(text);
        EXPECT_EQ(Units(DecodeForDisplay(bytes)), Units(text)) << "decoding " << Hex(bytes);
    }
}

struct Exact {
    const char* name;
    std::string bytes;
    std::u16string text;
};
void PrintTo(const Exact& value, std::ostream* os) {
    *os << value.name;
}

// Both directions: the bytes show as the text and the text encodes to them.
class DisplayCodecExact : public ::testing::TestWithParam<Exact> {};

TEST_P(DisplayCodecExact, DecodesAndEncodesExactly) {
    EXPECT_EQ(Units(DecodeForDisplay(GetParam().bytes)), Units(GetParam().text));
    EXPECT_EQ(Hex(EncodeFromDisplay(GetParam().text)), Hex(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayCodecExact,
    ::testing::Values(Exact{"euro_is_0x80", "\x80", u"\u20AC"}, Exact{"user_defined_A140", "\xA1\x40", u"\uE4C6"},
                      Exact{"byte_FF_is_private_use", "\xFF", u"\uF8F5"},
                      Exact{"ideographic_space", "\xA1\xA1", u"\u3000"},
                      Exact{"zhong_and_fullwidth_A", "\xD6\xD0\xA3\xC1", u"\u4E2D\uFF21"},
                      Exact{"vertical_forms_A6D9_A6DF", "\xA6\xD9\xA6\xDF", u"\uE78D\uE793"},
                      Exact{"A8BF_as_code_page_936_has_it", "\xA8\xBF", u"\uE7C8"},
                      Exact{"FE50_FEA0_as_code_page_936_has_them", "\xFE\x50\xFE\xA0", u"\uE815\uE864"},
                      Exact{"ascii_controls_and_crlf", std::string("a\0\t\r\n\x7F", 6),
                            std::u16string(u"a\0\t\r\n\x7F", 6)},
                      Exact{"emoji_four_bytes", "\x94\x39\xFC\x36", u"\U0001F600"},
                      Exact{"cjk_extension_b_four_bytes", "\x95\x32\x82\x36", u"\U00020000"},
                      Exact{"first_four_byte_form", "\x81\x30\x81\x30", u"\u0080"},
                      Exact{"replacement_character", "\x84\x31\xA4\x37", u"\uFFFD"},
                      Exact{"last_bmp_four_byte_form", "\x84\x31\xA4\x39", u"\uFFFF"},
                      Exact{"lone_noncharacters_as_four_bytes", "\x84\x30\xFA\x32\x84\x30\xFA\x32", u"\uFDD0\uFDD0"},
                      Exact{"lone_high_surrogate_carrier", "\x88\x35\x96\x36", std::u16string(1, char16_t(0xD800))},
                      Exact{"lone_low_surrogate_carrier", "\x88\x36\xE5\x33", std::u16string(1, char16_t(0xDFFF))},
                      Exact{"low_then_high_each_carried", "\x88\x36\xB2\x32\x88\x35\x9C\x37",
                            std::u16string{char16_t(0xDE00), char16_t(0xD83D)}},
                      Exact{"gb18030_two_byte_only_character_carried", "\x84\x31\xD7\x35", u"\u01F9"},
                      Exact{"lone_lead_at_end", "a\x81", u"a\uFDD8\uFDE1"},
                      Exact{"lead_before_7F_escapes_both", "\x81\x7F", u"\uFDD8\uFDE1\uFDD7\uFDEF"},
                      Exact{"lead_before_cr_keeps_the_cr_escaped", "\x81\r\n", u"\uFDD8\uFDE1\uFDD0\uFDED\n"},
                      Exact{"lead_before_nul", std::string("\xFE\0b", 3), u"\uFDDF\uFDEE\uFDD0\uFDE0b"},
                      Exact{"lead_before_FF", "\x81\xFF", u"\uFDD8\uFDE1\uFDDF\uFDEF"},
                      Exact{"lead_digit_without_four_bytes", "\x81\x30\x81", u"\uFDD8\uFDE1\uFDD3\uFDE0\uFDD8\uFDE1"},
                      Exact{"unassigned_past_carriers", "\x89\x35\x81\x30", Escaped("\x89\x35\x81\x30")},
                      Exact{"past_the_last_code_point", "\xE3\x32\x9A\x36", Escaped("\xE3\x32\x9A\x36")},
                      Exact{"carrier_of_a_unit_with_a_shorter_form", "\x84\x31\xA5\x30", Escaped("\x84\x31\xA5\x30")},
                      Exact{"four_bytes_of_a_code_page_936_character", "\x83\x36\xC8\x30", Escaped("\x83\x36\xC8\x30")},
                      Exact{"carried_low_after_carried_high", "\x88\x35\x9C\x37\x88\x36\xB2\x32",
                            char16_t(0xD83D) + Escaped("\x88\x36\xB2\x32")},
                      Exact{"four_byte_FDE1_after_four_byte_FDD0", "\x84\x30\xFA\x32\x84\x30\xFB\x39",
                            u"\uFDD0" + Escaped("\x84\x30\xFB\x39")}),
    [](const ::testing::TestParamInfo<Exact>& info) { return std::string(info.param.name); });

struct Degraded {
    const char* name;
    std::u16string text;
    std::u16string comesBack;
};
void PrintTo(const Degraded& value, std::ostream* os) {
    *os << value.name;
}

// Texts that hold U+FDDx U+FDEy pairs of their own: the pair becomes its byte.
class DisplayCodecEscapeShape : public ::testing::TestWithParam<Degraded> {};

TEST_P(DisplayCodecEscapeShape, BecomesItsByteAndKeepsItsNeighbours) {
    EXPECT_EQ(Units(DecodeForDisplay(EncodeFromDisplay(GetParam().text))), Units(GetParam().comesBack));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayCodecEscapeShape,
    ::testing::Values(Degraded{"pair_of_ascii_byte", u"x\uFDD4\uFDE1y", u"xAy"},
                      Degraded{"escaped_lead_joins_next_character", u"x\uFDD8\uFDE1@y", u"x\u4E02y"},
                      Degraded{"escaped_lead_at_end_stays", u"x\uFDD8\uFDE1", u"x\uFDD8\uFDE1"},
                      Degraded{"lone_high_half_before_pair", u"\uFDD0\uFDD1\uFDE2z", u"\uFDD0\u0012z"},
                      Degraded{"pair_of_byte_FF", u"\uFDDF\uFDEF", u"\uF8F5"}),
    [](const ::testing::TestParamInfo<Degraded>& info) { return std::string(info.param.name); });

// Where the first U+FDDx U+FDEy pair of a text begins, or its size.
std::size_t FirstEscapeShape(const std::u16string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] >= 0xFDD0 && text[i] <= 0xFDDF && text[i + 1] >= 0xFDE0 && text[i + 1] <= 0xFDEF) return i;
    }
    return text.size();
}

// Random texts built from the pieces that break codecs, with fixed seeds.
class DisplayCodecRandom : public ::testing::TestWithParam<unsigned> {
protected:
    std::mt19937 rng{GetParam()};
    unsigned Pick(unsigned bound) { return rng() % bound; }

    std::string RandomBytes() {
        std::string bytes;
        for (unsigned n = Pick(24); n > 0; --n) {
            switch (Pick(7)) {
                case 0:
                    bytes += static_cast<char>(Pick(256));
                    break;
                case 1:
                    bytes += {static_cast<char>(0x81 + Pick(126)), static_cast<char>(Pick(256))};
                    break;
                case 2:
                    bytes += Gb18030FourBytes(Pick(39420 + 0x10000));
                    break;  // BMP and carriers
                case 3:
                    bytes += Gb18030FourBytes(189000 + Pick(0x100000 + 100));
                    break;  // past U+10FFFF too
                case 4:
                    bytes += {static_cast<char>(0x81 + Pick(126)), static_cast<char>(0x30 + Pick(10))};
                    break;
                case 5:
                    bytes += "\r\n\x80\xFF\x81"[Pick(5)];
                    break;
                default:
                    bytes += Gb18030FourBytes(39420 + 0xD800 + Pick(0x800));
                    break;  // surrogate carriers
            }
        }
        return bytes;
    }

    std::u16string RandomText() {
        std::u16string text;
        for (unsigned n = Pick(24); n > 0; --n) {
            switch (Pick(7)) {
                case 0:
                    text += static_cast<char16_t>(Pick(0x80));
                    break;
                case 1:
                    text += static_cast<char16_t>(0x4E00 + Pick(0x5200));
                    break;
                case 2:
                    text += static_cast<char16_t>(0xD800 + Pick(0x800));
                    break;  // unpaired, or pairing by chance
                case 3:
                    text += static_cast<char16_t>(0xD800 + Pick(0x400));
                    text += static_cast<char16_t>(0xDC00 + Pick(0x400));
                    break;
                case 4:
                    text += u"\u0000\uFFFD\uFFFF\u20AC\uE4C6\u01F9\r\n"[Pick(8)];
                    break;
                case 5:
                    text += static_cast<char16_t>(0xFDD0 + Pick(32));
                    break;  // reserved, mostly alone
                default: {
                    const auto unit = static_cast<char16_t>(Pick(0x10000));
                    if (unit < 0xFDD0 || unit > 0xFDEF) text += unit;
                }
            }
        }
        return text;
    }
};

TEST_P(DisplayCodecRandom, ByteStringsSurviveDecodeThenEncode) {
    for (int n = 0; n < 20000; ++n) {
        const std::string bytes = RandomBytes();
        ASSERT_EQ(Hex(EncodeFromDisplay(DecodeForDisplay(bytes))), Hex(bytes));
    }
}

TEST_P(DisplayCodecRandom, TextsSurviveEncodeThenDecodeUpToAnEscapeShapedPair) {
    for (int n = 0; n < 20000; ++n) {
        const std::u16string text = RandomText();
        const std::size_t intact = FirstEscapeShape(text);
        const std::u16string back = DecodeForDisplay(EncodeFromDisplay(text));
        if (intact == text.size()) {
            ASSERT_EQ(Units(back), Units(text));
        } else {
            ASSERT_EQ(Units(back.substr(0, intact)), Units(text.substr(0, intact))) << "from " << Units(text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, DisplayCodecRandom, ::testing::Values(1u, 936u, 54936u));

struct ThroughWidth {
    const char* name;
    std::u16string text;
    std::u16string full;
    std::u16string half;
};
void PrintTo(const ThroughWidth& value, std::ostream* os) {
    *os << value.name;
}

// What a window does: encode, convert the bytes, decode the result.
class DisplayCodecWidth : public ::testing::TestWithParam<ThroughWidth> {};

TEST_P(DisplayCodecWidth, ConversionsLeaveFourByteFormsIntact) {
    const GbkString text(EncodeFromDisplay(GetParam().text));
    EXPECT_EQ(Units(DecodeForDisplay(ToFullWidth(text).view())), Units(GetParam().full));
    EXPECT_EQ(Units(DecodeForDisplay(ToHalfWidth(text).view())), Units(GetParam().half));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayCodecWidth,
    ::testing::Values(ThroughWidth{"emoji_and_extension_b", u"a\U0001F600b\U00020000c", u"ａ\U0001F600ｂ\U00020000ｃ",
                                   u"a\U0001F600b\U00020000c"},
                      ThroughWidth{"fullwidth_around_them", u"ａ\U0001F600ｂ\U00020000　ｃ",
                                   u"ａ\U0001F600ｂ\U00020000　ｃ", u"a\U0001F600b\U00020000   c"},
                      ThroughWidth{"four_byte_form_with_A3_lead", u"@\U0004A728@", u"＠\U0004A728＠", u"@\U0004A728@"},
                      ThroughWidth{"carriers", u"x" + std::u16string(1, char16_t(0xD800)) + u"\u01F9y",
                                   u"ｘ" + std::u16string(1, char16_t(0xD800)) + u"\u01F9ｙ",
                                   u"x" + std::u16string(1, char16_t(0xD800)) + u"\u01F9y"}),
    [](const ::testing::TestParamInfo<ThroughWidth>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tornix
