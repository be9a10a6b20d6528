#include "files/safe_writer.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "files/text_file.h"
#include "support/io_faults.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

using testing::ReadBytes;
using testing::ScopedWriteFaults;
using testing::ScratchDir;
using testing::WriteBytes;
using testing::WriteFaults;

const std::string kOld = "old content\r\nmust survive\r\n";
using Entries = std::vector<std::string>;

struct FaultCase {
    const char* name;
    WriteFaults faults;
    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

WriteFaults Faults(std::int64_t failAfterBytes, bool failFlush, bool failReplace, int error) {
    WriteFaults faults;
    faults.failAfterBytes = failAfterBytes;
    faults.failFlush = failFlush;
    faults.failReplace = failReplace;
    faults.error = error;
    return faults;
}

class FailedSaveTest : public ::testing::TestWithParam<FaultCase> {};

// Whatever step fails, the old file is as it was and no temporary file stays.
TEST_P(FailedSaveTest, LeavesTheOldFileAndNoTemporary) {
    const FaultCase& c = GetParam();
    ScratchDir dir;
    WriteBytes(dir / "t.txt", kOld);
    const ScopedWriteFaults faults(c.faults);
    SafeFileWriter writer(dir / "t.txt");
    ASSERT_EQ(writer.Open(), WriteStatus::kOk);
    writer.Write(std::string(5000, 'n'));
    EXPECT_EQ(writer.Commit(), WriteStatus::kWriteFailed);
    EXPECT_EQ(writer.LastError(), c.faults.error);
    EXPECT_EQ(ReadBytes(dir / "t.txt"), kOld);
    EXPECT_EQ(dir.Names({"t.txt"}), Entries{});
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedSaveTest,
                         ::testing::Values(FaultCase{"DiskFullAtOnce", Faults(0, false, false, ENOSPC)},
                                           FaultCase{"DiskFullMidway", Faults(1000, false, false, ENOSPC)},
                                           FaultCase{"FlushFails", Faults(-1, true, false, EIO)},
                                           FaultCase{"RenameFails", Faults(-1, false, true, EXDEV)}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(SafeFileWriter, TargetUnchangedUntilCommit) {
    ScratchDir dir;
    WriteBytes(dir / "t.txt", kOld);
    {
        SafeFileWriter writer(dir / "t.txt");
        ASSERT_EQ(writer.Open(), WriteStatus::kOk);
        ASSERT_TRUE(writer.Write("part one, "));
        ASSERT_TRUE(writer.Write("part two"));
        EXPECT_EQ(ReadBytes(dir / "t.txt"), kOld);
        ASSERT_EQ(writer.Commit(), WriteStatus::kOk);
        EXPECT_EQ(writer.LastError(), 0);
        EXPECT_FALSE(writer.Write("more")) << "a committed writer takes no more bytes";
    }
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "part one, part two");
    {
        SafeFileWriter abandoned(dir / "t.txt");
        ASSERT_EQ(abandoned.Open(), WriteStatus::kOk);
        ASSERT_TRUE(abandoned.Write("never saved"));
    }
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "part one, part two");
    EXPECT_EQ(dir.Names({"t.txt"}), Entries{});
}

TEST(SafeFileWriter, FailedWriteIsFinal) {
    ScratchDir dir;
    const ScopedWriteFaults faults(Faults(2, false, false, ENOSPC));
    SafeFileWriter writer(dir / "t.txt");
    ASSERT_EQ(writer.Open(), WriteStatus::kOk);
    EXPECT_FALSE(writer.Write("abc"));
    EXPECT_EQ(writer.LastError(), ENOSPC);
    EXPECT_FALSE(writer.Write("d"));
    EXPECT_EQ(writer.Commit(), WriteStatus::kWriteFailed);
    EXPECT_EQ(dir.Names({}), Entries{}) << "no new file may appear either";
}

TEST(SafeFileWriter, CommitWithoutOpenCreatesNothing) {
    ScratchDir dir;
    SafeFileWriter writer(dir / "t.txt");
    EXPECT_FALSE(writer.Write("x"));
    EXPECT_EQ(writer.Commit(), WriteStatus::kCannotCreate);
    EXPECT_EQ(dir.Names({}), Entries{});
}

// A pipe cannot be replaced by a renamed file: the window's save refuses it
// (without waiting for a reader), the command-line filter writes through it.
TEST(SafeFileWriter, PipeIsRefusedOrWrittenThrough) {
    ScratchDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(WriteTextFile(fifo, "refused").status, WriteStatus::kCannotCreate);
    SafeFileWriter through(fifo, SpecialTarget::kWriteThrough);
    ASSERT_EQ(through.Open(), WriteStatus::kOk);
    ASSERT_TRUE(through.Write("through"));
    EXPECT_EQ(through.Commit(), WriteStatus::kOk);
    char buffer[16] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "through");
    ::close(reader);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// What an interrupted save left beside its target is removed by the next save
// of that target, once no process has it open and nothing has written to it
// for a while; everything else stays.
TEST(SafeFileWriter, NextSaveRemovesAbandonedTemporaryFilesOfItsTarget) {
    ScratchDir dir;
    const auto age = [&dir](const std::string& name) {
        const timespec hourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), hourAgo, 0), 0) << name;
    };
    for (const char* name : {".t.txt.tornix-0123456789ab.tmp", ".u.txt.tornix-0123456789ab.tmp",
                             ".t.txt.tornix-0123.tmp", ".t.txt.tornix-0123456789ab.tmp~"}) {
        dir.Put(name, "left");
        age(name);
    }
    dir.Put(".t.txt.tornix-aaaaaaaaaaaa.tmp", "recent");
    SafeFileWriter live(dir / "t.txt");  // another save of the same file, still writing
    ASSERT_EQ(live.Open(), WriteStatus::kOk);
    const Entries liveName = dir.Names({".t.txt.tornix-aaaaaaaaaaaa.tmp"});
    ASSERT_EQ(liveName.size(), 5u);
    for (const std::string& name : liveName) age(name);

    ASSERT_EQ(WriteTextFile(dir / "t.txt", "new").status, WriteStatus::kOk);
    EXPECT_EQ(dir.Names({"t.txt"}).size(), 5u) << "only the abandoned one goes";
    EXPECT_FALSE(std::filesystem::exists(dir / ".t.txt.tornix-0123456789ab.tmp"));
    ASSERT_TRUE(live.Write("later"));
    EXPECT_EQ(live.Commit(), WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "later");
}

// A name at the longest a folder allows still has room for its temporary file.
TEST(SafeFileWriter, LongestNameCanBeSaved) {
    ScratchDir dir;
    std::string name;
    for (int i = 0; i < 85; ++i) name += "\xE4\xB8\xAD";  // 中, 255 bytes in all
    ASSERT_EQ(WriteTextFile(dir / name, "x").status, WriteStatus::kOk);
    EXPECT_EQ(ReadBytes(dir / name), "x");
    EXPECT_EQ(dir.Names({name}), Entries{});
}

// A real full device: a 64 KiB tmpfs in a mount namespace of this process
// only. Skipped where mounting is not allowed; the fault cases above cover
// the same path with a simulated full disk.
TEST(SafeFileWriter, FullDeviceKeepsTheOldFile) {
    ScratchDir dir;
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tornix", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the full disk is covered by the fault cases";
    }
    WriteBytes(dir / "t.txt", kOld);
    // Fill the device with a file that can be removed byte-exact afterwards.
    {
        const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(1024, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {}
        ::close(fd);
    }
    const WriteStatus status = WriteTextFile(dir / "t.txt", GbkString(std::string(40000, 'n'))).status;
    const std::string after = ReadBytes(dir / "t.txt");
    const Entries left = dir.Names({"t.txt", "filler"});
    ::umount2(dir.path().c_str(), MNT_DETACH);
    EXPECT_EQ(status, WriteStatus::kWriteFailed);
    EXPECT_EQ(after, kOld);
    EXPECT_EQ(left, Entries{});
}

}  // namespace
}  // namespace tornix
