// The whole program run in-process on files: inputs in order as one text,
// standard input, --trim, -o, and what happens when a file cannot be read or
// written or the command line is wrong.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/convert_command.h"
#include "convert/width.h"
#include "in_process.h"
#include "support/encoding_vectors.h"
#include "support/hex.h"
#include "support/scoped_limits.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

using testing::Hex;
using testing::ReadBytes;

using testing::Outcome;

class ConvertCommand : public ::testing::Test {
protected:
    Outcome Run(const std::vector<std::string>& args, const std::string& input = "", Charset terminal = Charset::kUtf8,
                Charset locale = Charset::kGbk) {
        return m_program.Run(args, input, terminal, locale);
    }

    std::string File(const std::string& name, const std::string& bytes) { return m_dir.Put(name, bytes).string(); }
    std::string PathOf(const std::string& name) const { return (m_dir.path() / name).string(); }

    testing::ScratchDir m_dir;  // the files the program is given
    testing::InProcess m_program;
};

TEST_F(ConvertCommand, ReadsStandardInputWithoutFiles) {
    const Outcome run = Run({"--to-full"}, "a.b c");
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(Hex(run.out), Hex("\xA3\xE1\xA1\xA3\xA3\xE2 \xA3\xE3"));
    EXPECT_EQ(run.err, "");
}

TEST_F(ConvertCommand, FilesAndDashAreOneTextInOrder) {
    // A character and a run of spaces each continue from one input into the next.
    const std::string first = "a \xA3";
    const std::string standardInput = "\xC1  ";
    const std::string last = " b\r\n";
    const Outcome run = Run({"--to-full", File("1.txt", first), "-", File("2.txt", last)}, standardInput);
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(Hex(run.out), Hex("\xA3\xE1 \xA3\xC1\xA1\xA1\xA3\xE2\r\n"));
    EXPECT_EQ(Hex(run.out), Hex(ToFullWidth(GbkString(first + standardInput + last)).view()));
}

TEST_F(ConvertCommand, LoneLeadByteAtTheEndOfTheLastFile) {
    const Outcome run = Run({"--to-half", File("a", "\xA3\xC1"), File("b", "\xA3")});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(Hex(run.out), Hex("A\xA3"));
}

TEST_F(ConvertCommand, TrimAppliesToTheWholeInput) {
    const Outcome run =
        Run({"--to-half", "--trim", File("a", " \r\n"), File("b", "\xA3\xC1 \r\n"), File("c", "\xA1\xA1 \t\n")});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(Hex(run.out), Hex("A \r\n   ")) << "inner white space and U+3000 stay";
}

TEST_F(ConvertCommand, OutputFileIsWrittenAndStandardOutputStaysEmpty) {
    const std::string out = File("out.txt", "old content");
    const Outcome run = Run({"--to-full", "-o", out, File("in", "x")});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Hex(ReadBytes(out)), Hex("\xA3\xF8"));
}

TEST_F(ConvertCommand, NewOutputFileIsCreated) {
    const Outcome run = Run({"--to-full", "--output=" + PathOf("new.txt")}, "1");
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(Hex(ReadBytes(PathOf("new.txt"))), Hex("\xA3\xB1"));
}

TEST_F(ConvertCommand, MissingInputNamesTheFileAndTheReason) {
    const std::string missing = PathOf("missing.txt");
    const Outcome run = Run({"--to-full", missing});
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_EQ(run.err, "tornix-convert: cannot read '" + missing + "': No such file or directory\n");
}

TEST_F(ConvertCommand, FolderAsInputIsAReadError) {
    const Outcome run = Run({"--to-half", m_dir.path().string()});
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_EQ(run.err, "tornix-convert: cannot read '" + m_dir.path().string() + "': Is a directory\n");
}

TEST_F(ConvertCommand, FailedInputLeavesTheOutputFileAsItWas) {
    const std::string out = File("out.txt", "previous");
    const Outcome run = Run({"--to-full", "-o", out, File("good", std::string(600000, 'g')), PathOf("missing")});
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_EQ(ReadBytes(out), "previous");
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string>{"good", "out.txt"})) << "a temporary file was left behind";
}

// The output may name an input: it is replaced only once everything is read.
TEST_F(ConvertCommand, OutputFileMayBeAnInput) {
    const std::string both = File("both.txt", "a b");
    const Outcome run = Run({"--to-full", "-o", both, both});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(Hex(ReadBytes(both)), Hex("\xA3\xE1 \xA3\xE2"));
}

// Standard output appended to an input file (`>> f`, or `< f >> f`): reading
// would never end. Refused, as cat does, and the file stays as it was.
TEST_F(ConvertCommand, InputThatIsStandardOutputIsRefused) {
    const std::string both = File("both.txt", "abc");
    const testing::ScopedFileSizeLimit limit(1 << 20);  // should it loop, it stops here
    for (const bool asStandardInput : {false, true}) {
        ProgramStreams streams;
        streams.input = ::open(asStandardInput ? both.c_str() : "/dev/null", O_RDONLY);
        streams.output = ::open(both.c_str(), O_WRONLY | O_APPEND);
        streams.errors = ::open(m_dir.Put("stderr", "").c_str(), O_WRONLY);
        const int status = RunTornixConvert({"--to-full", asStandardInput ? "-" : both}, streams);
        for (auto fd : {streams.input, streams.output, streams.errors}) ::close(static_cast<int>(fd));
        EXPECT_EQ(status, kExitFileError);
        EXPECT_EQ(ReadBytes(m_dir.path() / "stderr"),
                  "tornix-convert: " + (asStandardInput ? "standard input" : "'" + both + "'") +
                      ": input file is output file\n");
        EXPECT_EQ(ReadBytes(both), "abc");
    }
}

// --trim of a text of white space only: refused with the window's message,
// and an output file is not touched.
TEST_F(ConvertCommand, TrimOfOnlyWhiteSpaceIsRefused) {
    const std::string out = File("out.txt", "previous");
    for (const Charset terminal : {Charset::kUtf8, Charset::kGbk}) {
        const Outcome run = Run({"--to-half", "--trim", "-o", out}, " \r\n\t  \r\n", terminal);
        EXPECT_EQ(run.status, kExitFileError);
        EXPECT_EQ(run.err, EmptyTextMessage(terminal));
        EXPECT_EQ(ReadBytes(out), "previous");
    }
    EXPECT_NE(EmptyTextMessage(Charset::kUtf8).find("要转换的文本内容不能为空！"), std::string::npos);
    const Outcome empty = Run({"--to-half"}, "");
    EXPECT_EQ(empty.status, kExitSuccess) << "without --trim an empty text is converted as it is";
}

// White space held back by --trim beyond memory goes to TMPDIR.
TEST_F(ConvertCommand, HeldBackWhiteSpaceGoesToTheTemporaryFolder) {
    const std::string text = "a" + std::string(std::size_t{3} << 20, ' ') + "b";
    const std::string missing = PathOf("no-such-folder");
    const testing::ScopedEnvironment noFolder("TMPDIR", missing.c_str());
    const Outcome refused = Run({"--to-half", "--trim"}, text);
    EXPECT_EQ(refused.status, kExitFileError);
    EXPECT_EQ(refused.err,
              "tornix-convert: cannot hold back white space in a temporary file: No such file or directory\n");
    const testing::ScopedEnvironment folder("TMPDIR", m_dir.path().c_str());
    const Outcome run = Run({"--to-half", "--trim"}, text);
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_TRUE(run.out == text);
    EXPECT_EQ(m_dir.Names(), std::vector<std::string>{}) << "the temporary file has no name";
}

struct UnwritableOutput {
    const char* name;
    const char* path;  // under the test folder
    const char* reason;
};

void PrintTo(const UnwritableOutput& output, std::ostream* os) {
    *os << output.name;
}

class ConvertCommandUnwritable : public ConvertCommand, public ::testing::WithParamInterface<UnwritableOutput> {};

TEST_P(ConvertCommandUnwritable, ReportsTheFileAndReadsNothing) {
    File("plain", "");
    const std::string target = PathOf(GetParam().path);
    const Outcome run = Run({"--to-full", "-o", target}, "text");
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_EQ(run.err, "tornix-convert: cannot write '" + target + "': " + GetParam().reason + "\n");
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ConvertCommandUnwritable,
    ::testing::Values(UnwritableOutput{"MissingFolder", "none/out.txt", "No such file or directory"},
                      UnwritableOutput{"UnderAFile", "plain/out.txt", "Not a directory"},
                      UnwritableOutput{"AFolder", ".", "Is a directory"}),
    [](const ::testing::TestParamInfo<UnwritableOutput>& info) { return std::string(info.param.name); });

TEST_F(ConvertCommand, FullStandardOutputIsAWriteError) {
    ProgramStreams streams;
    streams.input = ::open(m_dir.Put("in", "abc").c_str(), O_RDONLY);
    streams.output = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(streams.output, 0) << "no /dev/full";
    streams.errors = ::open(m_dir.Put("err", "").c_str(), O_WRONLY);
    const int status = RunTornixConvert({"--to-full"}, streams);
    for (auto fd : {streams.input, streams.output, streams.errors}) ::close(static_cast<int>(fd));
    EXPECT_EQ(status, kExitFileError);
    EXPECT_EQ(ReadBytes(PathOf("err")), "tornix-convert: cannot write standard output: No space left on device\n");
}

TEST_F(ConvertCommand, BrokenPipeEndsQuietly) {
    const auto previous = std::signal(SIGPIPE, SIG_IGN);  // as a parent that ignores it would leave it
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    ProgramStreams streams;
    streams.input = ::open(m_dir.Put("in", std::string(3000000, 'x')).c_str(), O_RDONLY);
    streams.output = pipeEnds[1];
    streams.errors = ::open(m_dir.Put("err", "").c_str(), O_WRONLY);
    const int status = RunTornixConvert({"--to-full"}, streams);
    for (auto fd : {streams.input, streams.output, streams.errors}) ::close(static_cast<int>(fd));
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(status, kExitBrokenPipe);
    EXPECT_EQ(ReadBytes(PathOf("err")), "");
}

TEST_F(ConvertCommand, UsageErrorGivesTheUsageLine) {
    const Outcome run = Run({"--to-full", "--frobnicate"}, "abc");
    EXPECT_EQ(run.status, kExitUsageError);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tornix-convert: unknown option '--frobnicate'\n" + std::string(UsageLine()));
}

// A wrong policy option stops the program before it reads or writes
// anything: one line says what is wrong and what is allowed.
TEST_F(ConvertCommand, WrongPolicyOptionChangesNothing) {
    const std::string out = File("out.txt", "previous");
    const std::string in = File("in.txt", "abc");
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{"--only", "letters,kana"}, {"--only="}, {"--table", "jis"}, {"--keep", "a\xFF"}}) {
        std::vector<std::string> args{"--to-full", "-o", out};
        args.insert(args.end(), wrong.begin(), wrong.end());
        args.push_back(in);
        const Outcome run = Run(args);
        EXPECT_EQ(run.status, kExitUsageError) << wrong.front();
        EXPECT_EQ(run.err.find('\n'), run.err.size() - UsageLine().size() - 1) << run.err;
        EXPECT_NE(run.err.find('('), std::string::npos) << "what is allowed: " << run.err;
        EXPECT_EQ(ReadBytes(out), "previous");
    }
}

// The help's Chinese is written as the terminal shows it: 用法 as code page
// 936 bytes on a GBK terminal, as UTF-8 everywhere else.
TEST_F(ConvertCommand, HelpFollowsTheTerminalEncoding) {
    const Outcome gbk = Run({"--help"}, "", Charset::kGbk);
    const Outcome utf8 = Run({"--help"}, "", Charset::kUtf8);
    EXPECT_EQ(gbk.status, kExitSuccess);
    EXPECT_EQ(utf8.status, kExitSuccess);
    EXPECT_NE(gbk.out.find("\xD3\xC3\xB7\xA8"), std::string::npos);
    EXPECT_EQ(gbk.out.find("用法"), std::string::npos);
    EXPECT_NE(utf8.out.find("用法"), std::string::npos);
    EXPECT_NE(utf8.out.find("--output FILE"), std::string::npos);
}

// The input's encoding, detected at its start or named, and the output in
// the input's encoding (its mark kept) or in the one asked for.
struct EncodingCase {
    const char* name;
    std::vector<std::string> args;
    std::string input;
    Charset locale;
    int status;
    std::string out;
    const char* error;  // a part of the one line on standard error; "" for none
    friend void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }
};

class EncodingTest : public ConvertCommand, public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(EncodingTest, ConvertsInTheInputsEncoding) {
    const EncodingCase& c = GetParam();
    const Outcome run = Run(c.args, c.input, Charset::kUtf8, c.locale);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(Hex(run.out), Hex(c.out));
    if (*c.error == '\0') {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
}

// UTF-8 decided at the start (the first read), invalid further on: one line
// with the offset and -e, and the output file as it was.
TEST_F(ConvertCommand, InvalidInputAfterTheStartEndsTheRun) {
    const std::string out = File("out.txt", "previous");
    const std::string input = "中" + std::string(std::size_t{1} << 20, 'a') + "\xFF";
    const Outcome run = Run({"--to-full", "-o", out}, input);
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_EQ(run.err, "tornix-convert: standard input: not valid UTF-8 at byte " + std::to_string(input.size() - 1) +
                           " (name the input's encoding with -e)\n");
    EXPECT_EQ(ReadBytes(out), "previous");
}

// Big5's vectors (make_vectors.py) through the program, in Big5, into UTF-8
// and from it: the bytes the definition gives, the input given whole and cut
// into files of a few bytes each, which read as one text and cut characters
// everywhere.
TEST_F(ConvertCommand, Big5VectorsConvertWholeAndInPieces) {
    struct Way {
        const char* input;
        std::vector<std::string> encodings;
        const char* output;
    };
    const Way ways[] = {
        {"big5", {"-e", "big5"}, "big5"},
        {"big5", {"--encoding=big5", "--output-encoding", "utf-8"}, "big5-in-utf-8"},
        {"big5-in-utf-8", {"--output-encoding", "big5"}, "big5"},
    };
    for (const Way& way : ways) {
        const std::string bytes = testing::EncodingVectorBytes(way.input, testing::kVectorText);
        ASSERT_FALSE(bytes.empty()) << way.input;
        for (const auto& [direction, suffix] :
             {std::pair("--to-half", testing::kVectorCliToHalf), std::pair("--to-full", testing::kVectorCliToFull)}) {
            for (const std::size_t piece : {bytes.size(), std::size_t{1}, std::size_t{3}, std::size_t{7}}) {
                SCOPED_TRACE(std::string(way.input) + " " + direction + " in pieces of " + std::to_string(piece));
                std::vector<std::string> args{direction};
                args.insert(args.end(), way.encodings.begin(), way.encodings.end());
                for (std::size_t at = 0; at < bytes.size(); at += piece) {
                    args.push_back(File("piece" + std::to_string(at), bytes.substr(at, piece)));
                }
                const Outcome run = Run(args);
                EXPECT_EQ(run.status, 0) << run.err;
                EXPECT_EQ(Hex(run.out), Hex(testing::EncodingVectorBytes(way.output, suffix)));
            }
        }
    }
}

// A character that Big5 lacks, in the input or made by the conversion: one
// line naming it and its line, exit status 1, and the -o file as it was.
TEST_F(ConvertCommand, Big5OutputRefusesACharacterItLacks) {
    const std::string out = File("out.txt", "previous");
    const Outcome run = Run({"--to-half", "--output-encoding", "big5", "-o", out}, "a\r\n\xD5\xE2z");  // 这
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_EQ(run.err,
              "tornix-convert: line 2 of the output holds 这 (U+8FD9), which Big5 cannot hold (choose another with "
              "--output-encoding)\n");
    EXPECT_EQ(ReadBytes(out), "previous");
}

const std::vector<std::string> kToFull{"--to-full"};
const std::vector<std::string> kToHalf{"--to-half"};

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodingTest,
    ::testing::Values(
        // 中a文b. in UTF-8: every ASCII character converted, 。 in UTF-8
        EncodingCase{"Utf8Detected", kToFull, "中a文b.", Charset::kGbk, 0, "中ａ文ｂ。", ""},
        EncodingCase{"CodePage936Detected", kToFull,
                     "\xD6\xD0"
                     "a",
                     Charset::kUtf8, 0, "\xD6\xD0\xA3\xE1", ""},
        EncodingCase{"Utf8MarkKept", kToHalf, "\xEF\xBB\xBFＡ　", Charset::kGbk, 0,
                     "\xEF\xBB\xBF"
                     "A   ",
                     ""},
        EncodingCase{"Utf16MarkKept", kToFull,
                     std::string("\xFF\xFE"
                                 "a\0.\0",
                                 6),
                     Charset::kGbk, 0, std::string("\xFF\xFE\x41\xFF\x02\x30", 6), ""},
        EncodingCase{"Gb18030MarkKept", kToFull,
                     "\x84\x31\x95\x33"
                     "a\x81\x30\x84\x38",
                     Charset::kGbk, 0, "\x84\x31\x95\x33\xA3\xE1\x81\x30\x84\x38", ""},
        EncodingCase{"MarkOnly", kToFull, "\xEF\xBB\xBF", Charset::kGbk, 0, "\xEF\xBB\xBF", ""},
        // Hello with no character outside ASCII: the locale's character set
        EncodingCase{"AsciiUnderUtf8Locale", kToFull, "Hi", Charset::kUtf8, 0, "Ｈｉ", ""},
        EncodingCase{"AsciiUnderOtherLocale", kToFull, "Hi", Charset::kGbk, 0, "\xA3\xC8\xA3\xE9", ""},
        EncodingCase{"OutputEncodingAsked",
                     {"--to-full", "--output-encoding", "utf-8"},
                     "\xD6\xD0"
                     "a",
                     Charset::kGbk,
                     0,
                     "中ａ",
                     ""},
        // The window counts such a text as UTF-8 and keeps the unfinished bytes.
        EncodingCase{"Utf8CutInItsLastCharacter", kToFull, "中a\xE4\xB8", Charset::kGbk, 0, "中ａ\xE4\xB8", ""},
        EncodingCase{
            "NamedUtf8PassesInvalidBytes", {"--to-full", "-e", "utf-8"}, "中a\xFF", Charset::kGbk, 0, "中ａ\xFF", ""},
        EncodingCase{"OutputCannotHoldALoneLeadByte",
                     {"--to-full", "--output-encoding", "utf-8"},
                     "a\x81",
                     Charset::kGbk,
                     1,
                     "ａ",
                     "UTF-8 cannot hold"},
        // 中a in Big5
        EncodingCase{"NamedBig5",
                     {"--to-full", "-e", "big5"},
                     "\xA4\xA4"
                     "a",
                     Charset::kGbk,
                     0,
                     "\xA4\xA4\xA2\xE9",
                     ""},
        // ＡＢ in code page 936 is no Big5: its bytes pass as they are
        EncodingCase{"NamedBig5PassesBytesOfNoCharacter",
                     {"--to-half", "-e", "big5"},
                     "\xA3\xC1\xA3\xC2\xA4",
                     Charset::kGbk,
                     0,
                     "\xA3\xC1\xA3\xC2\xA4",
                     ""},
        EncodingCase{"NamedBig5IntoUtf8RefusesThem",
                     {"--to-half", "-e", "big5", "--output-encoding", "utf-8"},
                     "\xA4\xA4\xA3\xC1",
                     Charset::kGbk,
                     1,
                     "",
                     "not valid Big5 at byte 2"},
        // " becomes ＂, which Big5 lacks
        EncodingCase{"Big5LacksAFullWidthForm",
                     {"--to-full", "-e", "big5"},
                     "ok\n\"",
                     Charset::kGbk,
                     1,
                     "",
                     "line 2 of the output holds ＂ (U+FF02), which Big5 cannot hold"},
        EncodingCase{"Big5LacksAnEmoji",
                     {"--to-half", "--output-encoding", "big5"},
                     "中😀",
                     Charset::kGbk,
                     1,
                     "",
                     "line 1 of the output holds 😀 (U+1F600)"},
        EncodingCase{
            "UnknownEncoding", {"--to-full", "-e", "latin-1"}, "", Charset::kGbk, 2, "", "unknown encoding 'latin-1'"},
        // The policy in every way the text takes: UTF-8 as it is, code page
        // 936, and UTF-16 through the program's text.
        EncodingCase{"PolicyOnUtf8",
                     {"--to-full", "--only", "punctuation", "--context"},
                     "你好,世界. 3.14 a.b",
                     Charset::kGbk,
                     0,
                     "你好，世界。 3.14 a.b",
                     ""},
        EncodingCase{"PolicyOnCodePage936",
                     {"--to-half", "--keep-chinese-punctuation"},
                     "\xA3\xC1\xA3\xAC\xA3\xC2\xA1\xA3",  // Ａ，Ｂ。
                     Charset::kGbk,
                     0,
                     "A\xA3\xAC"
                     "B\xA1\xA3",
                     ""},
        EncodingCase{"PolicyOnUtf16",
                     {"--to-full", "--table", "unicode"},
                     std::string("\xFF\xFE"
                                 "a\0.\0",
                                 6),
                     Charset::kGbk,
                     0,
                     "\xFF\xFE\x41\xFF\x0E\xFF",
                     ""}),
    [](const ::testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tornix
