// -i, --check and --diff over files and folders, run in this process: what
// the walk takes and leaves, what each file becomes, what a review shows,
// and what a failure in the middle of a batch leaves.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/width.h"
#include "in_process.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

using testing::Outcome;
using testing::ReadBytes;
using testing::ScratchDir;

std::string ToFull(const std::string& gbk) {
    return std::string(ToFullWidth(GbkString(gbk)).view());
}

struct timespec ModifiedAt(const std::filesystem::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mtim;
}

// A tree with one of each kind of entry; each file's content afterwards.
TEST(Batch, EachEntryOfATreeGetsWhatItShould) {
    ScratchDir dir;
    const auto put = [&dir](const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories((dir / name).parent_path());
        return dir.Put(name, bytes);
    };
    put("docs/a.txt", "Hello, World!\n");
    put("docs/done.txt", "\xA3\xC1\xA3\xC2\n");  // ＡＢ: already full width
    put("docs/sub/deep/b.txt", "x y\r\n");
    put("docs/sub/c.md", "not included\n");
    put("docs/bin.txt", std::string("a\0b", 3));
    put("docs/.a.txt.tornix-0123456789ab.tmp", "a save's own file\n");
    std::filesystem::create_symlink("a.txt", dir / "docs/link.txt");
    std::filesystem::create_hard_link(dir / "docs/a.txt", dir / "docs/hard.txt");
    ASSERT_EQ(::mkfifo((dir / "docs/fifo.txt").c_str(), 0600), 0);  // opening it would wait for ever
    const struct timespec done = ModifiedAt(dir / "docs/done.txt");
    const std::string docs = (dir / "docs").string();

    testing::InProcess program;
    const Outcome run = program.Run({"--to-full", "-i", "-r", "--include", "*.txt", docs, docs + "/a.txt"});
    EXPECT_EQ(run.status, kExitSuccess) << run.err;
    EXPECT_EQ(ReadBytes(dir / "docs/a.txt"), ToFull("Hello, World!") + "\n") << "converted once, through both names";
    EXPECT_EQ(ReadBytes(dir / "docs/hard.txt"), ReadBytes(dir / "docs/a.txt"));
    EXPECT_EQ(ReadBytes(dir / "docs/sub/deep/b.txt"), ToFull("x y") + "\r\n");
    EXPECT_EQ(ReadBytes(dir / "docs/sub/c.md"), "not included\n");
    EXPECT_EQ(ReadBytes(dir / "docs/bin.txt"), std::string("a\0b", 3));
    EXPECT_EQ(ReadBytes(dir / "docs/.a.txt.tornix-0123456789ab.tmp"), "a save's own file\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "docs/link.txt"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "docs/fifo.txt"));
    const struct timespec after = ModifiedAt(dir / "docs/done.txt");
    EXPECT_TRUE(after.tv_sec == done.tv_sec && after.tv_nsec == done.tv_nsec) << "an unchanged file was written";
    EXPECT_EQ(run.err, "tornix-convert: '" + docs +
                           "/fifo.txt': skipped: not a regular file (a FIFO, a socket or a device)\n"
                           "tornix-convert: '" +
                           docs +
                           "/link.txt': skipped: a symbolic link, not followed\n"
                           "tornix-convert: '" +
                           docs +
                           "/bin.txt': skipped: it holds NUL bytes, so it is no text\n"
                           "tornix-convert: 2 converted, 1 unchanged, 3 skipped, 0 failed\n");
    EXPECT_EQ(program.Run({"--to-full", "-i", docs}).status, kExitUsageError) << "a folder without -r";
}

// What --check lists and --diff shows, with nothing written; once the files
// are converted, both find nothing more.
TEST(Batch, CheckListsAndDiffShowsWhatWouldChange) {
    ScratchDir dir;
    std::string lines;
    for (int n = 1; n <= 14; ++n) lines += (n == 2 || n == 11 ? "\xA3\xC1 " : "same ") + std::to_string(n) + "\n";
    dir.Put("a.txt", lines);  // lines 2 and 11 hold Ａ: two hunks, seven lines apart
    dir.Put("b.txt", "half width already\n");
    dir.Put("c.txt", "one\n\xA3\xC2");  // Ｂ on a last line without a line break
    const std::string a = (dir / "a.txt").string(), b = (dir / "b.txt").string(), c = (dir / "c.txt").string();
    testing::InProcess program;

    const Outcome check = program.Run({"--to-half", "--check", a, b, c}, "", Charset::kGbk);
    EXPECT_EQ(check.status, kExitFileError);
    EXPECT_EQ(check.out, a + "\n" + c + "\n");
    EXPECT_EQ(check.err, "tornix-convert: 2 would change, 1 unchanged, 0 skipped, 0 failed\n");

    const Outcome diff = program.Run({"--to-half", "--diff", "-q", a, b, c}, "", Charset::kGbk);
    EXPECT_EQ(diff.status, kExitFileError);
    EXPECT_EQ(diff.out, "--- " + a + "\n+++ " + a +
                            "\n@@ -1,5 +1,5 @@\n same 1\n-\xA3\xC1 2\n+A 2\n same 3\n same 4\n"
                            " same 5\n@@ -8,7 +8,7 @@\n same 8\n same 9\n same 10\n-\xA3\xC1 11\n+A 11\n same 12\n"
                            " same 13\n same 14\n--- " +
                            c + "\n+++ " + c +
                            "\n@@ -1,2 +1,2 @@\n one\n-\xA3\xC2\n"
                            "\\ No newline at end of file\n+B\n\\ No newline at end of file\n");
    EXPECT_EQ(diff.err, "") << "--quiet";
    EXPECT_EQ(ReadBytes(dir / "a.txt"), lines) << "a review wrote";

    EXPECT_EQ(program.Run({"--to-half", "-i", a, b, c}).status, kExitSuccess);
    const Outcome again = program.Run({"--to-half", "--check", a, b, c});
    EXPECT_EQ(again.status, kExitSuccess);
    EXPECT_EQ(again.out, "");
}

// A disk that fills up in the middle of a batch (a 64 KiB tmpfs, in a mount
// namespace of this process): every file is either converted whole or left
// byte for byte as it was, the others go on, and the run says how many failed.
TEST(Batch, FullDiskInTheMiddleLeavesEveryFileWholeOrAsItWas) {
    ScratchDir dir;
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tornix", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << ")";
    }
    const std::string text(4000, 'x');  // a page of the tmpfs; three once converted
    std::vector<std::string> args{"--to-full", "-i"};
    for (int n = 0; n < 8; ++n) args.push_back(dir.Put("f" + std::to_string(n) + ".txt", text).string());
    testing::InProcess program;
    const Outcome run = program.Run(args);
    int converted = 0;
    for (std::size_t n = 2; n < args.size(); ++n) {
        const std::string after = ReadBytes(args[n]);
        EXPECT_TRUE(after == text || after == ToFull(text)) << args[n] << " is neither";
        converted += after == ToFull(text);
    }
    const std::vector<std::string> left = dir.Names();
    ::umount2(dir.path().c_str(), MNT_DETACH);
    EXPECT_EQ(run.status, kExitFileError);
    EXPECT_GT(converted, 0);
    EXPECT_NE(run.err.find(std::to_string(converted) + " converted, 0 unchanged, 0 skipped, " +
                           std::to_string(8 - converted) + " failed"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(left.size(), 8u) << "a temporary file stayed";
}

}  // namespace
}  // namespace tornix
