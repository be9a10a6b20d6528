// The encoding rule and the file encodings: vectors written by iconv, random
// bytes that must come back unchanged, and every way of cutting them into
// pieces. No platform converter is used, so the Windows build is held to the
// same vectors.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/hex.h"
#include "text/display_codec.h"
#include "text/encoding.h"
#include "text/transcode.h"

namespace tornix {
namespace {

using testing::FromHex;
using testing::Hex;

struct DetectCase {
    const char* name;
    std::string bytes;
    FileEncoding expected;
    friend void PrintTo(const DetectCase& c, std::ostream* os) { *os << c.name; }
};

class DetectEncodingTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectEncodingTest, FollowsTheRule) {
    const DetectCase& c = GetParam();
    const FileEncoding found = DetectEncoding(c.bytes);
    EXPECT_EQ(found.charset, c.expected.charset) << Hex(c.bytes);
    EXPECT_EQ(found.byteOrderMark, c.expected.byteOrderMark) << Hex(c.bytes);
}

constexpr FileEncoding kGbk{Charset::kGbk, false};
constexpr FileEncoding kUtf8{Charset::kUtf8, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, DetectEncodingTest,
    ::testing::Values(DetectCase{"Empty", "", kGbk}, DetectCase{"Ascii", "Hello\r\n", kGbk},
                      DetectCase{"Utf8Mark", "\xEF\xBB\xBFok", {Charset::kUtf8, true}},
                      DetectCase{"Utf8MarkOnly", "\xEF\xBB\xBF", {Charset::kUtf8, true}},
                      DetectCase{"Utf16LeMark", FromHex("FF FE 61 00"), {Charset::kUtf16Le, true}},
                      DetectCase{"Utf16BeMark", FromHex("FE FF 00 61"), {Charset::kUtf16Be, true}},
                      DetectCase{"Gb18030Mark", "\x84\x31\x95\x33\xD6\xD0", {Charset::kGb18030, true}},
                      DetectCase{"Utf8Chinese",
                                 "\xE4\xB8\xAD"
                                 "a",
                                 kUtf8},
                      // 联通, 你好, 的确: short code page 936 texts that old editors took for UTF-8
                      DetectCase{"LianTong", "\xC1\xAA\xCD\xA8", kGbk}, DetectCase{"NiHao", "\xC4\xE3\xBA\xC3", kGbk},
                      DetectCase{"DeQue", "\xB5\xC4\xC8\xB7", kGbk},
                      // valid UTF-8 cut in the middle of its last character: still UTF-8
                      DetectCase{"Utf8CutShort", "\xE4\xB8\xAD\xE6\x96", kUtf8},
                      DetectCase{"OnlyACutCharacter", "ab\xE6\x96", kGbk},
                      DetectCase{"Overlong", "\xE4\xB8\xAD\xC0\x80", kGbk},
                      DetectCase{"Surrogate", "\xE4\xB8\xAD\xED\xA0\x80", kGbk},
                      DetectCase{"AboveUnicode", "\xE4\xB8\xAD\xF4\x90\x80\x80", kGbk},
                      DetectCase{"InvalidInTheMiddle", "\xE4\xB8\xAD\xFF\xE4\xB8\xAD", kGbk}),
    [](const ::testing::TestParamInfo<DetectCase>& info) { return std::string(info.param.name); });

// Chinese prose in code page 936, as long as real files are: never UTF-8.
TEST(DetectEncoding, CodePageProseIsNeverUtf8) {
    const char* const words[] = {"\xD6\xD0\xCE\xC4", "\xCE\xC4\xB1\xBE", "\xB5\xC4",         "\xA3\xAC", "\xA1\xA3",
                                 "\xC1\xAA\xCD\xA8", "\xCA\xC7",         "\xB9\xA4\xBE\xDF", "abc ",     "\r\n"};
    std::mt19937 rng(936);
    for (int round = 0; round < 50; ++round) {
        std::string prose;
        while (prose.size() < 4096) prose += words[rng() % std::size(words)];
        EXPECT_EQ(DetectEncoding(prose).charset, Charset::kGbk) << Hex(prose.substr(0, 64));
    }
}

// Piece by piece, the validator finds the byte that a whole-text scan finds
// (a character cut by the very end is no error: the rule counts it as UTF-8).
TEST(Utf8Validator, FindsTheFirstInvalidByteWhateverTheCuts) {
    std::mt19937 rng(8);
    const std::string pieces[] = {"a", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xC2\xA9", "\xE4\xB8", "\xFF", "\x80"};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        for (unsigned n = rng() % 12; n > 0; --n) text += pieces[rng() % (round % 2 == 0 ? 4 : std::size(pieces))];
        const Utf8Scan whole = ScanUtf8(text, false);
        Utf8Validator validator;
        for (std::size_t at = 0, step = 1 + rng() % 5; at < text.size(); at += step)
            validator.Check(text.substr(at, step));
        validator.Finish();
        ASSERT_EQ(validator.firstInvalid().has_value(), !whole.valid) << Hex(text);
        if (!whole.valid) {
            ASSERT_EQ(*validator.firstInvalid(), whole.validLength) << Hex(text);
        }
    }
}

// A text that arrives in pieces gets the decision its first MiB whole gives,
// whatever the pieces: fed one byte, seven bytes or 64 KiB at a time, the
// first decision made is the expected one.
TEST(StartRule, DecidesAsTheFirstMiBWholeWhateverThePieces) {
    constexpr Charset kAllAscii = Charset::kUtf16Be;  // what the rule itself never gives such a start
    const std::string ascii(kDecidingStart + 4096, 'a');
    const struct {
        const char* name;
        std::string text;
        Charset expected;
    } kCases[] = {
        // 69 D6 A3 begins as valid UTF-8 (U+05A3); FE then makes it code page 936.
        {"GbkThatBeginsAsUtf8", std::string("\x69\xD6\xA3\xFE\x40\x81\x40") + "\xD6\xD0\xCE\xC4", Charset::kGbk},
        {"AsciiBeyondTheMiBThenUtf8", ascii + "\xE4\xB8\xAD", kAllAscii},
        {"AsciiBeyondTheMiBThenGbk", ascii + "\xC1\xAA\xCD\xA8", kAllAscii},  // 联通
        {"Utf8CharacterCutByTheMiB", std::string(kDecidingStart - 1, 'a') + "\xE4\xB8\xAD", kAllAscii},
        {"Utf8ThenInvalidAfterTheMiB", "\xE4\xB8\xAD" + ascii + "\xFF", Charset::kUtf8},
        {"Utf8CutAtTheEnd", "\xE4\xB8\xAD\xE4\xB8", Charset::kUtf8},
        {"ShortAscii", "abc", kAllAscii},
        {"GB18030Mark", "\x84\x31\x95\x33\x81\x30", Charset::kGb18030},
        {"MarkCutShort", "\x84\x31", Charset::kGbk},
    };
    for (const auto& c : kCases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{65536}}) {
            StartRule rule(kAllAscii);
            std::optional<FileEncoding> decided;
            for (std::size_t at = 0; at < c.text.size() && !decided; at += piece) {
                decided = rule.Take(std::string_view(c.text).substr(at, piece));
            }
            EXPECT_EQ(decided ? decided->charset : rule.Finish().charset, c.expected)
                << c.name << ", pieces of " << piece;
        }
    }
}

// The same text as iconv writes it in each encoding (GB18030 as in its 2005
// edition, as iconv and ICU have it), and as the program holds it: code page
// 936 where it has the character, GB18030's four-byte form elsewhere, and a
// carrier for ḿ, which GB18030 has only as a two-byte code of its own.
struct TextVector {
    const char* name;
    std::string text;  // the program's text
    std::string utf8, utf16le, utf16be, gb18030;
    friend void PrintTo(const TextVector& v, std::ostream* os) { *os << v.name; }
};

class TranscodeTest : public ::testing::TestWithParam<TextVector> {};

TEST_P(TranscodeTest, DecodesAndEncodesLikeIconv) {
    const TextVector& v = GetParam();
    const std::pair<Charset, const std::string*> files[] = {{Charset::kUtf8, &v.utf8},
                                                            {Charset::kUtf16Le, &v.utf16le},
                                                            {Charset::kUtf16Be, &v.utf16be},
                                                            {Charset::kGb18030, &v.gb18030}};
    for (const auto& [charset, bytes] : files) {
        SCOPED_TRACE(std::string(RecordOf(charset).name));
        EXPECT_EQ(Hex(DecodeText(*bytes, {charset, false})), Hex(v.text));
        EXPECT_EQ(Hex(EncodeText(v.text, {charset, false})), Hex(*bytes));
        const std::string marked = std::string(ByteOrderMark(charset)) + *bytes;
        EXPECT_EQ(Hex(DecodeText(marked, {charset, true})), Hex(v.text)) << "the mark is not part of the text";
        EXPECT_EQ(Hex(EncodeText(v.text, {charset, true})), Hex(marked));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, TranscodeTest,
    ::testing::Values(TextVector{"MixedAscii", FromHex("D6 D0 61 CE C4 62 2E"), FromHex("E4 B8 AD 61 E6 96 87 62 2E"),
                                 FromHex("2D 4E 61 00 87 65 62 00 2E 00"), FromHex("4E 2D 00 61 65 87 00 62 00 2E"),
                                 FromHex("D6 D0 61 CE C4 62 2E")},
                      TextVector{"IdeographicSpaceAndStop", FromHex("A3 C8 A1 A1 A1 A3"),
                                 FromHex("EF BC A8 E3 80 80 E3 80 82"), FromHex("28 FF 00 30 02 30"),
                                 FromHex("FF 28 30 00 30 02"), FromHex("A3 C8 A1 A1 A1 A3")},
                      // € is 0x80 in code page 936 but A2 E3 in GB18030; © only has a four-byte form
                      TextVector{"EuroAndCopyright", FromHex("80 20 81 30 84 38"), FromHex("E2 82 AC 20 C2 A9"),
                                 FromHex("AC 20 20 00 A9 00"), FromHex("20 AC 00 20 00 A9"),
                                 FromHex("A2 E3 20 81 30 84 38")},
                      TextVector{"Supplementary", FromHex("94 39 FC 36 95 32 82 36"),
                                 FromHex("F0 9F 98 80 F0 A0 80 80"), FromHex("3D D8 00 DE 40 D8 00 DC"),
                                 FromHex("D8 3D DE 00 D8 40 DC 00"), FromHex("94 39 FC 36 95 32 82 36")},
                      // ḿ U+1E3F and the private-use U+E7C7 that code page 936 has at A8 BC
                      TextVector{"Gb18030TwoByteCodes", FromHex("84 37 B7 33 A8 BC"), FromHex("E1 B8 BF EE 9F 87"),
                                 FromHex("3F 1E C7 E7"), FromHex("1E 3F E7 C7"), FromHex("A8 BC 81 35 F4 37")}),
    [](const ::testing::TestParamInfo<TextVector>& info) { return std::string(info.param.name); });

// Big5 as Windows' code page 950 reads and writes it, on the platform's own
// converter (ICU's, or Windows' under Wine), and the program's text for it.
// Where Windows writes a character otherwise than iconv and Python's codecs
// do, or reads a code that they read otherwise, saving gives Windows' bytes.
struct Big5Vector {
    const char* name;
    std::string big5;   // the file, as iconv -t BIG5 writes it unless said otherwise
    std::string text;   // the program's text
    std::string saved;  // what saving the text gives; empty: the file's bytes
    friend void PrintTo(const Big5Vector& v, std::ostream* os) { *os << v.name; }
};

class Big5Test : public ::testing::TestWithParam<Big5Vector> {};

TEST_P(Big5Test, ReadsAndWritesAsWindows) {
    const Big5Vector& v = GetParam();
    TextDecoder decoder(Charset::kBig5);
    std::string text;
    decoder.Decode(v.big5, text);
    decoder.Finish(text);
    EXPECT_EQ(Hex(text), Hex(v.text));
    EXPECT_FALSE(decoder.firstInvalid().has_value());
    TextEncoder encoder(Charset::kBig5);
    std::string saved;
    encoder.Encode(v.text, saved);
    encoder.Finish(saved);
    EXPECT_EQ(Hex(saved), Hex(v.saved.empty() ? v.big5 : v.saved));
    EXPECT_FALSE(encoder.firstUnencodable().has_value());
    EXPECT_FALSE(encoder.wroteBytesAsTheyAre());
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, Big5Test,
    ::testing::Values(
        // 繁體中文a
        Big5Vector{"TraditionalProse", FromHex("C1 63 C5 E9 A4 A4 A4 E5 61"), FromHex("B7 B1 F3 77 D6 D0 CE C4 61"),
                   ""},
        // ＡＢＣ　１２３！？。＄～＼／: the same characters as the code page 936 forms
        Big5Vector{"FullWidthForms",
                   FromHex("A2 CF A2 D0 A2 D1 A1 40 A2 B0 A2 B1 A2 B2 A1 49 A1 48 A1 43 A2 43 A1 E3 A2 40 A1 FE"),
                   FromHex("A3 C1 A3 C2 A3 C3 A1 A1 A3 B1 A3 B2 A3 B3 A3 A1 A3 BF A1 A3 A1 E7 A1 AB A3 DC A3 AF"), ""},
        // € and 碁 (an ETEN extension), which Python's big5 codec lacks
        Big5Vector{"EuroAndEten", FromHex("A3 E1 F9 D6"), FromHex("80 B3 9E"), ""},
        // ═╞╪╡ as iconv and Python write them; Windows writes F9 F9, F9 E9..F9 EB
        Big5Vector{"BoxDrawingDuplicates", FromHex("A2 A4 A2 A5 A2 A6 A2 A7"), FromHex("A8 54 A8 62 A8 6E A8 65"),
                   FromHex("F9 F9 F9 E9 F9 EA F9 EB")},
        // ╭ 十 卅 at codes that everyone reads and nobody writes
        Big5Vector{"OneWayCodes", FromHex("F9 FA A2 CC A2 CE"), FromHex("A8 71 CA AE D8 A6"),
                   FromHex("A2 7E A4 51 A4 CA")},
        // the user-defined areas, where HKSCS is (made by hand: iconv has none
        // of them, Python's cp950 reads C6 A1 as ヾ), as private-use U+EEB8,
        // U+E000 and U+F6B1
        Big5Vector{"UserDefinedAreas", FromHex("81 40 FA 40 C6 A1"), FromHex("83 37 F3 39 AA A1 83 39 C4 30"), ""},
        // 0x80 and 0xFF, U+0080 and U+F8F8 in Windows, which Wine lacks
        Big5Vector{"SingleBytes", FromHex("80 FF"), FromHex("81 30 81 30 83 39 FE 33"), ""}),
    [](const ::testing::TestParamInfo<Big5Vector>& info) { return std::string(info.param.name); });

// A character that Big5 lacks is noted with its line, also when the text
// comes in pieces that cut lines and characters; bytes that are no character
// are written as they are and are not such a character.
TEST(Big5, FirstCharacterItLacksIsNotedWithItsLine) {
    struct Case {
        const char* name;
        std::string text;
        std::optional<Unencodable> expected;
    };
    const Case cases[] = {
        {"SimplifiedOnly", "\xC1\x63\r\n\xD5\xE2\xD6\xD0", Unencodable{0x8FD9, 2}},  // 繁 CR LF 这中
        {"Emoji", "a\r\n\r\nb\x94\x39\xFC\x36\xD5\xE2", Unencodable{0x1F600, 3}},    // 😀 before 这
        {"FullWidthQuotationMark", "\xA3\xA2", Unencodable{0xFF02, 1}},              // ＂, from "
        {"UnpairedSurrogate", "ok\n" + EncodeFromDisplay(u"\xD800") + "z", Unencodable{0xD800, 2}},
        // a lone lead byte of code page 936, and a UTF-16 file's odd last byte
        {"KeptBytesOnly",
         "\x81 \x81\x7F" + DecodeText("\xFF\xFE"
                                      "a",
                                      {Charset::kUtf16Le, true}),
         std::nullopt},
    };
    for (const Case& c : cases) {
        for (std::size_t piece = 1; piece <= 8; ++piece) {
            SCOPED_TRACE(std::string(c.name) + " in pieces of " + std::to_string(piece));
            TextEncoder encoder(Charset::kBig5);
            std::string bytes;
            for (std::size_t at = 0; at < c.text.size(); at += piece) encoder.Encode(c.text.substr(at, piece), bytes);
            encoder.Finish(bytes);
            const std::optional<Unencodable> found = encoder.firstUnencodable();
            ASSERT_EQ(found.has_value(), c.expected.has_value());
            if (found) {
                EXPECT_EQ(found->codePoint, c.expected->codePoint);
                EXPECT_EQ(found->line, c.expected->line);
            }
            EXPECT_TRUE(encoder.wroteBytesAsTheyAre());
        }
    }
}

// Bytes that are no character of the encoding come back as they were, and
// the first one is found.
struct InvalidCase {
    const char* name;
    Charset charset;
    std::string bytes;
    std::uint64_t firstInvalid;
    friend void PrintTo(const InvalidCase& c, std::ostream* os) { *os << c.name; }
};

class InvalidBytesTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidBytesTest, AreKeptAndFound) {
    const InvalidCase& c = GetParam();
    TextDecoder decoder(c.charset);
    std::string text;
    decoder.Decode(c.bytes, text);
    decoder.Finish(text);
    ASSERT_TRUE(decoder.firstInvalid().has_value());
    EXPECT_EQ(*decoder.firstInvalid(), c.firstInvalid);
    EXPECT_EQ(Hex(EncodeText(text, {c.charset, false})), Hex(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidBytesTest,
                         ::testing::Values(InvalidCase{"Utf8StrayContinuation", Charset::kUtf8,
                                                       "a\x80"
                                                       "b",
                                                       1},
                                           InvalidCase{"Utf8CutAtTheEnd", Charset::kUtf8, "\xE4\xB8\xAD\xE6\x96", 3},
                                           InvalidCase{"Utf8Surrogate", Charset::kUtf8, "ok\xED\xA0\x80", 2},
                                           InvalidCase{"Utf8LeadThenAscii", Charset::kUtf8,
                                                       "\xE4"
                                                       "abc",
                                                       0},
                                           InvalidCase{"Utf16OddLastByte", Charset::kUtf16Le, FromHex("61 00 62"), 2},
                                           InvalidCase{"Gb18030ByteFF", Charset::kGb18030, "a\xFF\xD6\xD0", 1},
                                           InvalidCase{"Gb18030LeadAtTheEnd", Charset::kGb18030, "\xD6\xD0\xD6", 2},
                                           InvalidCase{"Big5LeadAtTheEnd", Charset::kBig5, "\xA4\xA4\xA4", 2},
                                           InvalidCase{"Big5LeadBeforeAByteThatIsNoTrail", Charset::kBig5, "\xA4 a", 0},
                                           // ＡＢ in code page 936: A3 C1 is no Big5 code, C1 A3 is one
                                           InvalidCase{"GbkReadAsBig5", Charset::kBig5, "\xA3\xC1\xA3\xC2", 0}),
                         [](const ::testing::TestParamInfo<InvalidCase>& info) {
                             return std::string(info.param.name);
                         });

// An unpaired surrogate in UTF-16 survives; so do noncharacters that the
// display would read as an escaped byte if they stood side by side.
TEST(Transcode, Utf16KeepsUnpairedSurrogatesAndNoncharacterPairs) {
    for (const std::string& bytes : {FromHex("00 D8 61 00"), FromHex("00 DC 00 D8"), FromHex("D4 FD E1 FD")}) {
        const std::string text = DecodeText(bytes, {Charset::kUtf16Le, false});
        EXPECT_EQ(Hex(EncodeText(text, {Charset::kUtf16Le, false})), Hex(bytes));
    }
}

// Random bytes in every encoding come back byte for byte, whole and cut into
// pieces of every small size, in both directions.
TEST(Transcode, RandomBytesRoundTripInPieces) {
    std::mt19937 rng(18030);
    // Runs of Chinese (which UTF-8 decodes on a quicker path) and, in them,
    // what that path must leave to the careful one: U+0800, an overlong ×,
    // an escapes' noncharacter, and € (one byte in code page 936).
    const std::string alphabet[] = {"a",
                                    " ",
                                    "\r\n",
                                    "\xE4\xB8\xAD",
                                    "\xF0\x9F\x98\x80",
                                    "\xD6\xD0",
                                    "\x81\x30\x84\x38",
                                    "\xFF",
                                    "\x80",
                                    FromHex("00 D8"),
                                    "\xED\xA0\x80",
                                    "\xA8\xBC",
                                    FromHex("D0 FD E0 FD"),
                                    "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE7\xAC\xA6",
                                    "\xE0\xA0\x80",
                                    "\xE0\x83\x97",
                                    "\xEF\xB7\x90",
                                    "\xE2\x82\xAC"};
    // (None of it begins with A2 or F9, the lead bytes of Big5's duplicate codes.)
    for (const Charset charset :
         {Charset::kUtf8, Charset::kUtf16Le, Charset::kUtf16Be, Charset::kGb18030, Charset::kBig5}) {
        for (int round = 0; round < 300; ++round) {
            std::string bytes;
            for (unsigned n = rng() % 24; n > 0; --n) bytes += alphabet[rng() % std::size(alphabet)];
            const std::string text = DecodeText(bytes, {charset, false});
            ASSERT_EQ(Hex(EncodeText(text, {charset, false})), Hex(bytes)) << RecordOf(charset).name;
            const std::size_t piece = 1 + rng() % 7;
            TextDecoder decoder(charset);
            std::string pieced;
            for (std::size_t at = 0; at < bytes.size(); at += piece) decoder.Decode(bytes.substr(at, piece), pieced);
            decoder.Finish(pieced);
            ASSERT_EQ(Hex(pieced), Hex(text)) << RecordOf(charset).name << " in pieces of " << piece;
            TextEncoder encoder(charset);
            std::string encoded;
            for (std::size_t at = 0; at < text.size(); at += piece) encoder.Encode(text.substr(at, piece), encoded);
            encoder.Finish(encoded);
            ASSERT_EQ(Hex(encoded), Hex(bytes)) << RecordOf(charset).name << " in pieces of " << piece;
        }
    }
}

}  // namespace
}  // namespace tornix
