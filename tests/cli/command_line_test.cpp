// The argument parser: which command a line asks for, and the request or the
// problem it carries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/command_line.h"

namespace tornix {
namespace {

struct ValidLine {
    const char* name;
    std::vector<std::string> args;
    WidthDirection direction;
    bool trim;
    std::optional<std::string> output;
    std::vector<std::string> inputs;
};

void PrintTo(const ValidLine& line, std::ostream* os) {
    *os << line.name;
}

class CommandLineValid : public ::testing::TestWithParam<ValidLine> {};

TEST_P(CommandLineValid, GivesTheRequest) {
    const ValidLine& line = GetParam();
    const CommandLine parsed = ParseCommandLine(line.args);
    ASSERT_EQ(parsed.kind, CommandKind::kConvert) << parsed.error;
    EXPECT_EQ(parsed.request.direction, line.direction);
    EXPECT_EQ(parsed.request.trim, line.trim);
    EXPECT_EQ(parsed.request.output, line.output);
    EXPECT_EQ(parsed.request.inputs, line.inputs);
}

// The encoding options in each spelling, names in any case and their aliases.
TEST(CommandLineEncodings, NamedInEverySpelling) {
    struct Row {
        std::vector<std::string> args;
        std::optional<Charset> encoding, outputEncoding;
    };
    const Row rows[] = {
        {{"--to-full"}, std::nullopt, std::nullopt},
        {{"--to-full", "-e", "auto"}, std::nullopt, std::nullopt},
        {{"--to-full", "-eUTF-8"}, Charset::kUtf8, std::nullopt},
        {{"--to-full", "--encoding=gb18030"}, Charset::kGb18030, std::nullopt},
        {{"--to-full", "--encoding", "utf16le", "--output-encoding", "cp936"}, Charset::kUtf16Le, Charset::kGbk},
        {{"--to-full", "--output-encoding=UTF-16BE"}, std::nullopt, Charset::kUtf16Be},
        {{"--to-full", "-e", "Big5", "--output-encoding", "cp950"}, Charset::kBig5, Charset::kBig5},
    };
    for (const Row& row : rows) {
        const CommandLine parsed = ParseCommandLine(row.args);
        ASSERT_EQ(parsed.kind, CommandKind::kConvert) << parsed.error;
        EXPECT_EQ(parsed.request.encoding, row.encoding) << row.args.back();
        EXPECT_EQ(parsed.request.outputEncoding, row.outputEncoding) << row.args.back();
    }
}

using V = std::vector<std::string>;
constexpr auto kFull = WidthDirection::kToFull;
constexpr auto kHalf = WidthDirection::kToHalf;

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineValid,
    ::testing::Values(
        ValidLine{"ToFullFromStandardInput", {"--to-full"}, kFull, false, std::nullopt, {}},
        ValidLine{"ToHalfWithTrim", {"--trim", "--to-half"}, kHalf, true, std::nullopt, {}},
        ValidLine{"FilesInOrderWithDash",
                  {"b.txt", "--to-half", "-", "a.txt"},
                  kHalf,
                  false,
                  std::nullopt,
                  {"b.txt", "-", "a.txt"}},
        ValidLine{"ShortOutputSeparate", {"--to-full", "-o", "out.txt", "in.txt"}, kFull, false, "out.txt", {"in.txt"}},
        ValidLine{"ShortOutputJoined", {"--to-full", "-oout.txt"}, kFull, false, "out.txt", {}},
        ValidLine{"LongOutputSeparate", {"--output", "o", "--to-full"}, kFull, false, "o", {}},
        ValidLine{
            "DashOutputIsStandardOutput", {"--to-full", "-o", "-", "in.txt"}, kFull, false, std::nullopt, {"in.txt"}},
        ValidLine{"DotSlashDashIsAFile", {"--to-full", "-o./-"}, kFull, false, "./-", {}},
        ValidLine{"LongOutputWithEquals", {"--to-full", "--output=o"}, kFull, false, "o", {}},
        ValidLine{
            "DoubleDashEndsOptions", {"--to-full", "--", "--trim", "-o"}, kFull, false, std::nullopt, {"--trim", "-o"}},
        ValidLine{"SameDirectionTwice", {"--to-half", "--to-half"}, kHalf, false, std::nullopt, {}}),
    [](const ::testing::TestParamInfo<ValidLine>& info) { return std::string(info.param.name); });

struct BadLine {
    const char* name;
    std::vector<std::string> args;
    const char* problem;  // part of the one-line message
};

void PrintTo(const BadLine& line, std::ostream* os) {
    *os << line.name;
}

class CommandLineBad : public ::testing::TestWithParam<BadLine> {};

TEST_P(CommandLineBad, IsAUsageError) {
    const CommandLine parsed = ParseCommandLine(GetParam().args);
    ASSERT_EQ(parsed.kind, CommandKind::kUsageError);
    EXPECT_NE(parsed.error.find(GetParam().problem), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << "more than one line: " << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineBad,
    ::testing::Values(
        BadLine{"NoArguments", {}, "--to-full or --to-half"},
        BadLine{"NoDirection", {"--trim", "a.txt"}, "--to-full or --to-half"},
        BadLine{"BothDirections", {"--to-full", "--to-half"}, "cannot be used together"},
        BadLine{"UnknownLongOption", {"--to-full", "--fast"}, "unknown option '--fast'"},
        BadLine{"UnknownShortOption", {"--to-full", "-x"}, "unknown option '-x'"},
        BadLine{"OptionWithValueItTakesNone", {"--to-full", "--trim=yes"}, "unknown option"},
        BadLine{"OutputWithoutFile", {"--to-full", "-o"}, "'-o' needs a file name"},
        BadLine{"LongOutputWithoutFile", {"--to-full", "--output"}, "'--output' needs a file name"},
        BadLine{"EmptyOutputName", {"--to-full", "--output="}, "needs a file name"},
        BadLine{"TwoOutputs", {"--to-full", "-o", "a", "-o", "b"}, "only one output file"},
        BadLine{"StandardOutputAndAFile", {"--to-full", "-o", "-", "-o", "b"}, "only one output file"},
        BadLine{"FirstProblemIsReported", {"--bad", "--to-full", "--to-half"}, "'--bad'"},
        BadLine{"EncodingWithoutName", {"--to-full", "-e"}, "'-e' needs an encoding"},
        BadLine{"UnknownEncoding", {"--to-full", "-e", "koi8-r"}, "unknown encoding 'koi8-r'"},
        BadLine{"AutoIsNoOutputEncoding", {"--to-full", "--output-encoding", "auto"}, "unknown encoding"},
        BadLine{"TwoEncodings", {"--to-full", "-e", "gbk", "-e", "utf-8"}, "can be given once"},
        BadLine{"InPlaceWithOutput", {"--to-full", "-i", "-o", "x", "a"}, "-o cannot go with them"},
        BadLine{"InPlaceFromStandardInput", {"--to-full", "-i"}, "not standard input"},
        BadLine{"CheckOfStandardInput", {"--to-half", "--check", "a", "-"}, "not standard input"},
        BadLine{"InPlaceWithTrim", {"--to-full", "--diff", "--trim", "a"}, "--trim cannot go"},
        BadLine{
            "InPlaceInAnotherEncoding", {"--to-full", "-i", "--output-encoding", "gbk", "a"}, "no --output-encoding"},
        BadLine{"FolderOptionsAlone", {"--to-full", "-r", "a"}, "go with -i, --check or --diff"},
        BadLine{"IncludeWithoutPattern", {"--to-full", "-i", "a", "--include"}, "needs a pattern"},
        BadLine{"UnknownTable", {"--to-full", "--table", "jis"}, "unknown table 'jis' (classic or unicode)"},
        BadLine{"UnknownClass",
                {"--to-full", "--only", "letters,kana"},
                "unknown class 'kana' in --only (letters, digits, punctuation, space)"},
        BadLine{"EmptyClass", {"--to-full", "--only=letters,"}, "unknown class ''"},
        BadLine{"NoClasses", {"--to-full", "--only", ""}, "'--only' needs classes (letters, digits"},
        BadLine{"TwoClassLists", {"--to-full", "--only", "digits", "--only", "space"}, "can be given once"},
        BadLine{"KeptBytesNoCharacter",
                {"--to-full", "--keep", "ab\xE4\xB8"},
                "byte 3 (0xE4) begins no character of UTF-8"}),
    [](const ::testing::TestParamInfo<BadLine>& info) { return std::string(info.param.name); });

// The policy options, in their spellings: what each sets, the characters
// of --keep read in the arguments' encoding and kept as code page 936 text.
TEST(CommandLinePolicy, GivesThePolicy) {
    struct Row {
        std::vector<std::string> args;
        Charset arguments;
        WidthPolicy policy;
    };
    const Row rows[] = {
        {{"--to-full"}, Charset::kUtf8, {}},
        {{"--to-full", "--table", "Unicode"}, Charset::kUtf8, {WidthTableKind::kUnicode, kAllWidthClasses, "", false}},
        {{"--to-full", "--table=classic"}, Charset::kUtf8, {}},
        {{"--to-half", "--only", "letters,DIGITS"},
         Charset::kUtf8,
         {WidthTableKind::kClassic, kWidthLetters | kWidthDigits, "", false}},
        {{"--to-half", "--only=space", "--context"}, Charset::kUtf8, {WidthTableKind::kClassic, kWidthSpace, "", true}},
        {{"--to-half", "--keep", "ａ,", "--keep=。"},
         Charset::kUtf8,
         {WidthTableKind::kClassic, kAllWidthClasses, "\xA3\xE1,\xA1\xA3", false}},
        {{"--to-half", "--keep", "\xA3\xE1\x80"},
         Charset::kGbk,
         {WidthTableKind::kClassic, kAllWidthClasses, "\xA3\xE1\x80", false}},
        {{"--to-half", "--keep-chinese-punctuation"},
         Charset::kUtf8,
         {WidthTableKind::kClassic, kAllWidthClasses, kChinesePunctuation, false}},
    };
    for (const Row& row : rows) {
        const CommandLine parsed = ParseCommandLine(row.args, row.arguments);
        ASSERT_EQ(parsed.kind, CommandKind::kConvert) << parsed.error;
        const WidthPolicy& policy = parsed.request.policy;
        EXPECT_EQ(policy.table, row.policy.table) << row.args.back();
        EXPECT_EQ(policy.classes, row.policy.classes) << row.args.back();
        EXPECT_EQ(policy.keep, row.policy.keep) << row.args.back();
        EXPECT_EQ(policy.context, row.policy.context) << row.args.back();
    }
    // In code page 936 arguments a lead byte needs its second byte, and 0xFF is none.
    for (const char* wrong : {"\xA3", "\xFF", "\x81\x7F"}) {
        const CommandLine parsed = ParseCommandLine({"--to-half", "--keep", wrong}, Charset::kGbk);
        EXPECT_EQ(parsed.kind, CommandKind::kUsageError) << wrong;
        EXPECT_NE(parsed.error.find("code page 936"), std::string::npos) << parsed.error;
    }
}

TEST(CommandLine, HelpWinsOverEverythingElse) {
    EXPECT_EQ(ParseCommandLine({"--bogus", "-h"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"--version", "--help"}).kind, CommandKind::kHelp);
    EXPECT_EQ(ParseCommandLine({"--version"}).kind, CommandKind::kVersion);
    EXPECT_EQ(ParseCommandLine({"--to-full", "--", "--help"}).kind, CommandKind::kConvert)
        << "--help after -- is a file name";
}

}  // namespace
}  // namespace tornix
