// The conversions under a policy against the per-character reference
// (width_policy_reference.h): random policies on random texts made of the
// pieces that break block code, in code page 936 and in UTF-8, whole and
// streamed in random pieces, on the kernels of the tier this run uses (CTest
// runs the program once per tier); the results the policies are known for;
// and the CJK characters of the kernels against the code page's own.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/width_converter.h"
#include "convert/width_stream.h"
#include "support/hex.h"
#include "support/width_policy_reference.h"
#include "text/display_codec.h"
#include "text/gbk_string.h"
#include "text/transcode.h"

namespace tornix {
namespace {

using namespace tornix::testing;

std::string Gbk(std::string_view utf8) {
    return DecodeText(utf8, {Charset::kUtf8, false});
}

std::string Utf8(std::string_view gbk) {
    return EncodeText(gbk, {Charset::kUtf8, false});
}

class Random {
public:
    explicit Random(unsigned seed) : m_rng(seed) {}
    unsigned Below(unsigned bound) { return static_cast<unsigned>(m_rng() % bound); }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

private:
    std::mt19937 m_rng;
};

// The pieces of the texts, code page 936: hanzi at the edges of the code
// ranges, the characters next to them that are not CJK, the table's forms
// both ways, runs of spaces, four-byte forms, lead bytes before ASCII.
const char* const kPieces[] = {
    "\xD6\xD0",
    "\xCE\xC4",
    "\x81\x40",
    "\xA0\xFE",
    "\xB0\xA1",
    "\xD7\xF9",
    "\xD7\xFA",
    "\xF7\xFE",
    "\xAA\x40",
    "\xFD\x9B",
    "\xFD\x9C",
    "\xFE\x40",
    "\xA9\x96",
    "\xA1\xA2",
    "\xA1\xB0",
    "\xA3\xAC",
    "\xA1\xA3",
    "\xA3\xAE",
    "\xA3\xAF",
    "\xA3\xC1",
    "\xA3\xB1",
    "\xA1\xA1",
    "\xA1\xE7",
    "\xA1\xAB",
    "\xA3\xA4",
    "\xA3\xFE",
    ".",
    ",",
    "/",
    "$",
    "~",
    "!",
    "a",
    "Z",
    "7",
    " ",
    "  ",
    "   ",
    "    ",
    "\n",
    "\t",
    "\x81 ",
    "\x81,",
    "\x95\x32\x82\x36",
    "\x81\x30\x81\x30",
    "\x80",
    "\xFF",
    "3.14",
    "http://x.y/z",
    "\x82\x35\x8F\x32",
    "\x82\x35\x8F\x33",  // U+4DFF, U+9FA6: next to the ideographs
    "09",
    "@[`{",
    "Az",  // the ends of the classes
};

// Hanzi and full-width forms, for runs of two-byte characters that fill
// blocks.
const char* const kPairs[] = {"\xD6\xD0", "\xB0\xA1", "\xA3\xAC", "\xA1\xA3", "\xFD\x9B", "\xA1\xB0"};

// Bytes of UTF-8 text that are no character: each one of its own.
const char* const kInvalidUtf8[] = {"\xE4\xB8", "\xEF\xBC", "\xE3\x80", "\xC0\xAE", "\xE9\xBE", "\xF0\x9F\x98"};

std::string RandomText(Random& random) {
    std::string text;
    const unsigned pieces = random.Below(random.Below(4) == 0 ? 120 : 30);
    for (unsigned n = 0; n < pieces; ++n) {
        const unsigned kind = random.Below(16);
        if (kind == 0) {
            text.append(20 + random.Below(60), ' ');
        } else if (kind == 1) {
            for (unsigned run = 8 + random.Below(40); run > 0; --run) text += random.Pick(kPairs);
        } else {
            text += random.Pick(kPieces);
        }
    }
    return text;
}

// The characters a policy may keep: the table's both sides, and others.
const char* const kKeepable[] = {
    ".",        ",",        "/",        "$",        "~",        "a",        "7",
    " ",        "\xA3\xAC", "\xA1\xA3", "\xA3\xAE", "\xA3\xAF", "\xA1\xA1", "\xA3\xC1",
    "\xA3\xB1", "\xA1\xE7", "\xA1\xAB", "\xD6\xD0", "\xA1\xA2",
};

WidthPolicy RandomPolicy(Random& random) {
    WidthPolicy policy;
    policy.table = random.Below(2) == 0 ? WidthTableKind::kClassic : WidthTableKind::kUnicode;
    policy.classes = random.Below(3) == 0 ? kAllWidthClasses : random.Below(16);
    for (unsigned n = random.Below(3) == 0 ? random.Below(6) : 0; n > 0; --n) policy.keep += random.Pick(kKeepable);
    policy.context = random.Below(2) == 0;
    return policy;
}

std::string Streamed(std::string_view text, WidthDirection direction, WidthEncoding encoding, const WidthPolicy& policy,
                     bool trim, Random& random) {
    std::string out;
    WidthStream stream(
        direction, trim,
        [&out](std::string_view bytes) {
            out.append(bytes);
            return true;
        },
        encoding, nullptr, policy);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length =
            std::min<std::size_t>(1 + random.Below(random.Below(2) == 0 ? 4 : 90), text.size() - at);
        stream.Write(text.substr(at, length));
        at += length;
    }
    stream.Finish();
    return out;
}

std::string Trimmed(std::string_view text) {
    GbkString value{std::string(text)};
    value.TrimLeft();
    value.TrimRight();
    return std::string(value.view());
}

std::string Describe(const WidthPolicy& policy, WidthDirection direction, std::string_view text) {
    return std::string(direction == WidthDirection::kToFull ? "to full" : "to half") +
           (policy.table == WidthTableKind::kClassic ? ", classic" : ", unicode") + ", classes " +
           std::to_string(policy.classes) + ", keep " + Hex(policy.keep) + (policy.context ? ", context" : "") + ": " +
           Hex(text);
}

// Every way of converting a text under a policy against the reference.
TEST(WidthPolicy, RandomPoliciesMatchTheReference) {
    Random random(20261224);
    for (int n = 0; n < 1500; ++n) {
        const WidthPolicy policy = RandomPolicy(random);
        const std::string gbk = RandomText(random);
        std::string utf8 = Utf8(gbk);
        if (random.Below(4) == 0)
            utf8.insert(random.Below(static_cast<unsigned>(utf8.size()) + 1), random.Pick(kInvalidUtf8));
        for (const WidthDirection direction : {WidthDirection::kToFull, WidthDirection::kToHalf}) {
            const std::string expected = ReferencePolicyConversion(gbk, direction, policy);
            const std::string expectedUtf8 = ReferencePolicyConversionUtf8(utf8, direction, policy);
            const std::string what = Describe(policy, direction, gbk);
            ASSERT_EQ(Hex(ConvertWidth(gbk, direction, WidthEncoding::kGbk, policy)), Hex(expected)) << what;
            ASSERT_EQ(Hex(ConvertWidth(utf8, direction, WidthEncoding::kUtf8, policy)), Hex(expectedUtf8))
                << "UTF-8 " << Describe(policy, direction, utf8);
            ASSERT_EQ(Hex(Streamed(gbk, direction, WidthEncoding::kGbk, policy, false, random)), Hex(expected))
                << "streamed " << what;
            ASSERT_EQ(Hex(Streamed(utf8, direction, WidthEncoding::kUtf8, policy, false, random)), Hex(expectedUtf8))
                << "streamed UTF-8 " << Describe(policy, direction, utf8);
            const std::string trimmed = Utf8(ReferencePolicyConversion(Trimmed(Gbk(utf8)), direction, policy));
            ASSERT_EQ(Hex(Streamed(utf8, direction, WidthEncoding::kUtf8, policy, true, random)), Hex(trimmed))
                << "streamed and trimmed UTF-8 " << Describe(policy, direction, utf8);
        }
    }
}

// Results known without the reference, in UTF-8.
TEST(WidthPolicy, KnownResults) {
    const WidthPolicy punctuationByContext{WidthTableKind::kClassic, kWidthPunctuation, "", true};
    const WidthPolicy unicode{WidthTableKind::kUnicode, kAllWidthClasses, "", false};
    const WidthPolicy lettersAndDigits{WidthTableKind::kClassic, kWidthLetters | kWidthDigits, "", false};
    const WidthPolicy chinesePunctuation{WidthTableKind::kClassic, kAllWidthClasses, kChinesePunctuation, false};
    struct Row {
        const char* input;
        WidthDirection direction;
        const WidthPolicy& policy;
        const char* output;
    };
    const Row rows[] = {
        {"3.14 a.b/c http://x.y/z Hello, World!", WidthDirection::kToFull, punctuationByContext,
         "3.14 a.b/c http://x.y/z Hello, World!"},
        {"你好,世界.", WidthDirection::kToFull, punctuationByContext, "你好，世界。"},
        {"中 , 文 (x) ,\n中", WidthDirection::kToFull, punctuationByContext, "中 ， 文 （x) ,\n中"},
        {"你好，世界。ＯＫ，ｙｅｓ！", WidthDirection::kToHalf, punctuationByContext, "你好，世界。ＯＫ,ｙｅｓ!"},
        {"a. b/ 1   2", WidthDirection::kToFull, unicode, "ａ．　ｂ／　１　　　２"},
        {"。．／　", WidthDirection::kToHalf, unicode, "。./ "},
        {"Ａ１，ａ. 9", WidthDirection::kToHalf, lettersAndDigits, "A1，a. 9"},
        {"Ａ１，。！？（ｘ）　", WidthDirection::kToHalf, chinesePunctuation, "A1，。！？（x）　"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ConvertWidth(row.input, row.direction, WidthEncoding::kUtf8, row.policy), row.output) << row.input;
        EXPECT_EQ(Utf8(ConvertWidth(Gbk(row.input), row.direction, WidthEncoding::kGbk, row.policy)), row.output)
            << row.input;
    }
}

// Each character between a mark and a letter, and after "a,", all in one
// text behind 0 to 3 bytes so that each meets every place in a block: the
// mark converts where the character is CJK.
void ExpectCjkWhereExpected(const std::vector<std::pair<std::string, bool>>& characters, WidthEncoding encoding) {
    const WidthPolicy byContext{WidthTableKind::kClassic, kWidthPunctuation, "", true};
    const std::string mark = ",";
    const std::string wide = encoding == WidthEncoding::kGbk ? "\xA3\xAC" : "\xEF\xBC\x8C";
    for (const std::string prefix : {"", "a", "ab", "abc"}) {
        std::string before = prefix, after = prefix, beforeExpected = prefix, afterExpected = prefix;
        for (const auto& [character, cjk] : characters) {
            before += character + mark + "a";
            beforeExpected += character + (cjk ? wide : mark) + "a";
            after += "a" + mark + character;
            afterExpected += "a" + (cjk ? wide : mark) + character;
        }
        ASSERT_EQ(Hex(ConvertWidth(before, WidthDirection::kToFull, encoding, byContext)), Hex(beforeExpected));
        ASSERT_EQ(Hex(ConvertWidth(after, WidthDirection::kToFull, encoding, byContext)), Hex(afterExpected));
    }
}

// The kernels' CJK characters are the code page's U+4E00 .. U+9FA5, code by
// code; in UTF-8, every character from U+3000 to U+FFFF.
TEST(WidthPolicy, CjkCharactersAreTheCodePagesIdeographs) {
    std::vector<std::pair<std::string, bool>> codes;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string shown = DecodeForDisplay(pair);
            codes.emplace_back(pair, shown.size() == 1 && shown[0] >= 0x4E00 && shown[0] <= 0x9FA5);
        }
    }
    ExpectCjkWhereExpected(codes, WidthEncoding::kGbk);
    std::vector<std::pair<std::string, bool>> characters;
    for (char16_t value = 0x3000; value != 0; ++value) {
        if (value >= 0xD800 && value <= 0xDFFF) continue;
        characters.emplace_back(Utf8(EncodeFromDisplay(std::u16string(1, value))), value >= 0x4E00 && value <= 0x9FA5);
    }
    ExpectCjkWhereExpected(characters, WidthEncoding::kUtf8);
}

}  // namespace
}  // namespace tornix
