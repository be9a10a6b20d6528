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
                      ReadCase{"Utf16Refused",
                               std::string("\xFF\xFE"
                                           "a\0\n\0",
                                           6),
                               ReadStatus::kContainsNul, ""},
                      ReadCase{"NulAtStartRefused", std::string("\0a\n", 3), ReadStatus::kContainsNul, ""},
                      ReadCase{"LateNulRefused", kLateNul, ReadStatus::kContainsNul, ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

// Short LF-only lines make the text half again as long as the file: the
// layout has to grow past the room kept for it.
TEST(ReadTextFile, ManyShortLfLines) {
    ScratchDir dir;
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes += (i % 7 == 0) ? "\n" : "ab\n";
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
    EXPECT_EQ(WriteTextFile(dir / "out.txt", GbkString(c.text)), WriteStatus::kOk);
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
    ASSERT_EQ(WriteTextFile(dir / "t.txt", text), WriteStatus::kOk);
    EXPECT_EQ(ReadTextFile(dir / "t.txt").text, text);
}

TEST(WriteTextFile, CannotCreateInMissingFolderOrOverAFolder) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "sub");
    EXPECT_EQ(WriteTextFile(dir / "missing" / "x.txt", "a"), WriteStatus::kCannotCreate);
    EXPECT_EQ(WriteTextFile(dir / "sub", "a"), WriteStatus::kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "sub"));
    EXPECT_EQ(dir.Names({"sub"}), std::vector<std::string>{});
}

TEST(WriteTextFile, KeepsPermissionBitsAndNewFilesFollowTheUmask) {
    ScratchDir dir;
    for (const unsigned mode : {0600u, 0640u, 0604u, 0755u}) {
        WriteBytes(dir / "p.txt", "old");
        ASSERT_EQ(::chmod((dir / "p.txt").c_str(), mode), 0);
        ASSERT_EQ(WriteTextFile(dir / "p.txt", "new"), WriteStatus::kOk);
        EXPECT_EQ(testing::ModeOf(dir / "p.txt"), mode) << std::oct << mode;
    }
    const mode_t previous = ::umask(027);
    const WriteStatus status = WriteTextFile(dir / "new.txt", "x");
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

    ASSERT_EQ(WriteTextFile(dir / "chain", "via chain"), WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(dir / "real" / "t.txt"), "via chain");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "chain"));

    ASSERT_EQ(WriteTextFile(dir / "dangling", "made"), WriteStatus::kOk);
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling"));
    EXPECT_EQ(ReadBytes(dir / "real" / "new.txt"), "made");
    EXPECT_EQ(testing::NamesIn(dir / "real", {"t.txt", "new.txt"}), std::vector<std::string>{});
}

TEST(WriteTextFile, LinkLoopCannotBeCreated) {
    ScratchDir dir;
    std::filesystem::create_symlink("b", dir / "a");
    std::filesystem::create_symlink("a", dir / "b");
    EXPECT_EQ(WriteTextFile(dir / "a", "x"), WriteStatus::kCannotCreate);
}

}  // namespace
}  // namespace tornix
