#include "files/text_file.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/hex.h"
#include "support/naive_lines.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

using testing::Hex;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    ReadStatus status;
    std::string text;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ReadTextFileTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTextFileTest, ReadsWhatTheFileHolds) {
    const ReadCase& c = GetParam();
    ScratchDir dir;
    WriteBytes(dir / "in.txt", c.bytes);
    const ReadResult result = ReadTextFile(dir / "in.txt");
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(Hex(result.text.view()), Hex(c.text));
}

const std::string kLongLine(3 << 20, 'x');                      // longer than one read
const std::string kLateNul = std::string(2 << 20, 'y') + '\0';  // NUL past the first reads

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadTextFileTest,
    ::testing::Values(ReadCase{"EmptyFile", "", ReadStatus::kOk, ""},
                      ReadCase{"NoFinalBreak", "a\r\nb", ReadStatus::kOk, "a\r\nb\r\n"},
                      ReadCase{"LfBreaks", "a\nb\n", ReadStatus::kOk, "a\r\nb\r\n"},
                      ReadCase{"OneBreak", "\r\n", ReadStatus::kOk, "\r\n"},
                      ReadCase{"LoneCrStays", "a\rb\n", ReadStatus::kOk, "a\rb\r\n"},
                      ReadCase{"CtrlZDoesNotEndTheFile", "a\x1A\nb", ReadStatus::kOk, "a\x1A\r\nb\r\n"},
                      ReadCase{"LongLineWhole", kLongLine, ReadStatus::kOk, kLongLine + "\r\n"},
                      ReadCase{"Utf16WithoutMarkRefused", std::string("a\0\n\0", 4), ReadStatus::kContainsNul, ""},
                      ReadCase{"Utf16NulCharacterRefused",
                               std::string("\xFF\xFE"
                                           "a\0\0\0",
                                           6),
                               ReadStatus::kContainsNul, ""},
                      ReadCase{"NulAtStartRefused", std::string("\0a\n", 3), ReadStatus::kContainsNul, ""},
                      ReadCase{"LateNulRefused", kLateNul, ReadStatus::kContainsNul, ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// Files in each encoding, as other tools write them: decoded into the
// program's text with every line followed by CR LF, the mark left out, and
// written back byte for byte in the encoding they came in.
struct EncodedCase {
    const char* name;
    std::string bytes;
    FileEncoding encoding;
    std::string text;
    friend void PrintTo(const EncodedCase& c, std::ostream* os) { *os << c.name; }
};

class EncodedFileTest : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(EncodedFileTest, ReadsAndWritesBackByteForByte) {
    const EncodedCase& c = GetParam();
    ScratchDir dir;
    WriteBytes(dir / "in.txt", c.bytes);
    const ReadResult read = ReadTextFile(dir / "in.txt");
    ASSERT_EQ(read.status, ReadStatus::kOk);
    EXPECT_EQ(read.encoding, c.encoding);
    EXPECT_EQ(Hex(read.text.view()), Hex(c.text));
    ASSERT_EQ(WriteTextFile(dir / "out.txt", read.text, read.encoding).status, WriteStatus::kOk);
    EXPECT_EQ(Hex(ReadBytes(dir / "out.txt")), Hex(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodedFileTest,
    ::testing::Values(
        // 中 CR LF a, and the same in each encoding
        EncodedCase{"Utf8", "\xE4\xB8\xAD\r\na\r\n", {Charset::kUtf8, false}, "\xD6\xD0\r\na\r\n"},
        EncodedCase{"Utf8WithMark", "\xEF\xBB\xBF\xE4\xB8\xAD\r\na\r\n", {Charset::kUtf8, true}, "\xD6\xD0\r\na\r\n"},
        EncodedCase{"Utf16Le",
                    std::string("\xFF\xFE\x2D\x4E\r\0\n\0a\0\r\0\n\0", 14),
                    {Charset::kUtf16Le, true},
                    "\xD6\xD0\r\na\r\n"},
        EncodedCase{"Utf16Be",
                    std::string("\xFE\xFF\x4E\x2D\0\r\0\n\0a\0\r\0\n", 14),
                    {Charset::kUtf16Be, true},
                    "\xD6\xD0\r\na\r\n"},
        EncodedCase{
            "Gb18030WithMark", "\x84\x31\x95\x33\xD6\xD0\r\na\r\n", {Charset::kGb18030, true}, "\xD6\xD0\r\na\r\n"},
        EncodedCase{"MarkOnlyIsAnEmptyText", "\xEF\xBB\xBF", {Charset::kUtf8, true}, ""},
        EncodedCase{"CodePage936AsItIs", "\xC1\xAA\xCD\xA8\r\n", {Charset::kGbk, false}, "\xC1\xAA\xCD\xA8\r\n"}),
    [](const ::testing::TestParamInfo<EncodedCase>& info) { return std::string(info.param.name); });

// A file's text is decoded into the file's own buffer while it is no longer
// than the bytes it came from (Chinese in UTF-8 shrinks by a third), and goes
// on in a buffer of its own where it would overtake them (한 grows from three
// bytes to four): at once, or after pieces of Chinese, the text is whole.
TEST(ReadTextFile, TextThatOutgrowsItsFileStaysWhole) {
    ScratchDir dir;
    for (const int chinese : {0, 1, 40000}) {
        for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
            std::string file = mark;
            std::string text;
            for (int k = 0; k < chinese; ++k) {
                file += "\xE4\xB8\xAD";  // 中
                text += "\xD6\xD0";
            }
            for (int k = 0; k < 50000; ++k) {
                file += "\xED\x95\x9C";  // 한
                text += "\x83\x36\x84\x33";
            }
            file += "\n";
            text += "\r\n";
            WriteBytes(dir / "in.txt", file);
            const ReadResult read = ReadTextFile(dir / "in.txt");
            ASSERT_EQ(read.status, ReadStatus::kOk);
            EXPECT_EQ(read.text.view().size(), text.size()) << chinese << " Chinese first, mark " << mark.size();
            EXPECT_TRUE(read.text.view() == text) << chinese << " Chinese first, mark " << mark.size();
        }
    }
}

// Short LF-only lines make the text half again as long as the file: the
// layout has to grow past the room kept for it. The text is laid out a MiB at
// a time; a CR LF across the end of each MiB keeps its CR alone.
TEST(ReadTextFile, ManyShortLfLines) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    ScratchDir dir;
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * kMiB + 100; ++i) {
        const std::size_t beforeLast = kMiB - 1 - bytes.size() % kMiB;
        if (beforeLast < 3) {
            bytes.append(beforeLast, 'x');
            bytes += "\r\n";
        } else {
            bytes += (i % 7 == 0) ? "\n" : "ab\n";
        }
    }
    bytes += "tail";
    WriteBytes(dir / "in.txt", bytes);
    const ReadResult result = ReadTextFile(dir / "in.txt");
    ASSERT_TRUE(result.ok());
    EXPECT_TRUE(result.text.view() == *testing::NaiveSplitLines(bytes));
}

TEST(ReadTextFile, CannotOpenMissingFileOrFolder) {
    ScratchDir dir;
    const ReadResult missing = ReadTextFile(dir / "missing.txt");
    EXPECT_EQ(missing.status, ReadStatus::kCannotOpen);
    EXPECT_EQ(missing.error, ENOENT);
    const ReadResult folder = ReadTextFile(dir.path());
    EXPECT_EQ(folder.status, ReadStatus::kCannotOpen);
    EXPECT_EQ(folder.error, EISDIR);
}

TEST(FileExists, TrueOnlyForAReadableFileAndLeavesNothingOpen) {
    ScratchDir dir;
    WriteBytes(dir / "a.txt", "a");
    std::filesystem::create_directory(dir / "sub");
    const int before = OpenDescriptors();
    EXPECT_TRUE(FileExists(dir / "a.txt"));
    EXPECT_FALSE(FileExists(dir / "sub"));
    EXPECT_FALSE(FileExists(dir / "missing.txt"));
    EXPECT_FALSE(FileExists(dir / "a.txt" / "x"));
    EXPECT_TRUE(ReadTextFile(dir / "a.txt").ok());
    EXPECT_EQ(OpenDescriptors(), before);
}

struct WriteCase {
    const char* name;
    std::string old;  // empty: no file before
    std::string text;
    friend void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }
};

class WriteTextFileTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteTextFileTest, StoresExactlyTheTextAndNothingElse) {
    const WriteCase& c = GetParam();
    ScratchDir dir;
    if (!c.old.empty()) WriteBytes(dir / "out.txt", c.old);
    EXPECT_EQ(WriteTextFile(dir / "out.txt", GbkString(c.text)).status, WriteStatus::kOk);
    EXPECT_EQ(Hex(ReadBytes(dir / "out.txt")), Hex(c.text));
    EXPECT_EQ(dir.Names({"out.txt"}), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteTextFileTest,
    ::testing::Values(WriteCase{"NewFile", "", "a\r\nb\r\n"}, WriteCase{"CrLfNotDoubled", "", "\r\n\r\n"},
                      WriteCase{"NoFinalBreakAdded", "", "a\r\nb"}, WriteCase{"EmptyText", "old content", ""},
                      // 全角 with Ctrl-Z and a lone lead byte
                      WriteCase{"GbkBytesAsTheyAre", "", "\xC8\xAB\xBD\xC7\x1A\x81"},
                      WriteCase{"ShorterReplacesLonger", "a much longer old content\r\n", "new\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(WriteTextFile, ReadsBackTheSameText) {
    ScratchDir dir;
    const GbkString text("\xD6\xD0\r\n\r\nx\ry\r\n");
    ASSERT_EQ(WriteTextFile(dir / "t.txt", text).status, WriteStatus::kOk);
    EXPECT_EQ(ReadTextFile(dir / "t.txt").text, text);
}

TEST(WriteTextFile, CannotCreateInMissingFolderOrOverAFolder) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "sub");
    EXPECT_EQ(WriteTextFile(dir / "missing" / "x.txt", "a").status, WriteStatus::kCannotCreate);
    EXPECT_EQ(WriteTextFile(dir / "sub", "a").status, WriteStatus::kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "sub"));
    EXPECT_EQ(dir.Names({"sub"}), std::vector<std::string>{});
}

TEST(WriteTextFile, KeepsPermissionBitsAndNewFilesFollowTheUmask) {
    ScratchDir dir;
    for (const unsigned mode : {0600u, 0640u, 0604u, 0755u}) {
        WriteBytes(dir / "p.txt", "old");
        ASSERT_EQ(::chmod((dir / "p.txt").c_str(), mode), 0);
        ASSERT_EQ(WriteTextFile(dir / "p.txt", "new").status, WriteStatus::kOk);
        EXPECT_EQ(testing::ModeOf(dir / "p.txt"), mode) << std::oct << mode;
    }
    const mode_t previous = ::umask(027);
    const WriteStatus status = WriteTextFile(dir / "new.txt", "x").status;
    ::umask(previous);
    ASSERT_EQ(status, WriteStatus::kOk);
    EXPECT_EQ(testing::ModeOf(dir / "new.txt"), 0640u);
}

TEST(WriteTextFile, FollowsSymbolicLinks) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "real");
    WriteBytes(dir / "real" / "t.txt", "old");
    std::filesystem::create_symlink("real/t.txt", dir / "link");  // relative, resolved from its folder
    std::filesystem::create_symlink(dir / "link", dir / "chain");
    std::filesystem::create_symlink("real/new.txt", dir / "dangling");

    ASSERT_EQ(WriteTextFile(dir / "chain", "via chain").status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(dir / "real" / "t.txt"), "via chain");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "chain"));

    ASSERT_EQ(WriteTextFile(dir / "dangling", "made").status, WriteStatus::kOk);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling"));
    EXPECT_EQ(ReadBytes(dir / "real" / "new.txt"), "made");
    EXPECT_EQ(testing::NamesIn(dir / "real", {"t.txt", "new.txt"}), std::vector<std::string>{});
}

TEST(WriteTextFile, LinkLoopCannotBeCreated) {
    ScratchDir dir;
    std::filesystem::create_symlink("b", dir / "a");
    std::filesystem::create_symlink("a", dir / "b");
    EXPECT_EQ(WriteTextFile(dir / "a", "x").status, WriteStatus::kCannotCreate);
}

}  // namespace
}  // namespace tornix
