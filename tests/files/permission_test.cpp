// Permission cases, run as an unprivileged user: as root every file can be
// read and every folder written, so the operations run in a helper process
// that drops to "nobody" through setpriv when the tests run as root.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "files/text_file.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

constexpr uid_t kNobody = 65534;

// The user the helper runs as: nobody when we are root, else ourselves.
uid_t HelperUser() {
    return ::geteuid() == 0 ? kNobody : ::geteuid();
}

// Runs the helper with the given arguments and returns what it printed.
std::string Helper(const std::string& arguments) {
    std::string command = TORNIX_FILES_HELPER " " + arguments;
    if (::geteuid() == 0) command = "setpriv --reuid=65534 --regid=65534 --clear-groups " + command;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "<popen failed>";
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    const int status = ::pclose(pipe);
    return status == 0 ? output : "<helper failed: " + output + ">";
}

std::string Status(WriteStatus status, int error) {
    return std::to_string(static_cast<int>(status)) + " " + std::to_string(error) + "\n";
}

ino_t InodeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A file `name` in `dir` with `content`, owned by `owner`, with `mode`.
void MakeFile(const ScratchDir& dir, const char* name, const std::string& content, uid_t owner, mode_t mode) {
    WriteBytes(dir / name, content);
    ASSERT_EQ(::chown((dir / name).c_str(), owner, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chmod((dir / name).c_str(), mode), 0);
}

TEST(Permissions, UnreadableFileFailsTheProbeAndTheRead) {
    ScratchDir dir;
    MakeFile(dir, "secret.txt", "hidden", ::geteuid(), 0200);
    MakeFile(dir, "open.txt", "shown", ::geteuid(), 0644);
    EXPECT_EQ(Helper("exists " + (dir / "secret.txt").string()), "0\n");
    EXPECT_EQ(Helper("read " + (dir / "secret.txt").string()),
              std::to_string(static_cast<int>(ReadStatus::kCannotOpen)) + " " + std::to_string(EACCES) + " 0\n");
    EXPECT_EQ(Helper("exists " + (dir / "open.txt").string()), "1\n") << "the helper itself must work";
}

// The folder refuses new files, the file itself is writable: written in
// place (the same file, not a new one renamed over it), keeping its owner and
// mode.
TEST(Permissions, ReadOnlyFolderWritableFileIsWrittenInPlace) {
    ScratchDir dir;  // 0755, owned by us: not writable for the helper when we are root
    if (::geteuid() != 0) ::chmod(dir.path().c_str(), 0555);
    MakeFile(dir, "t.txt", "a longer old text", HelperUser(), 0664);
    const ino_t before = InodeOf(dir / "t.txt");
    EXPECT_EQ(Helper("write " + (dir / "t.txt").string() + " new"), Status(WriteStatus::kOk, 0));
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "new");
    EXPECT_EQ(InodeOf(dir / "t.txt"), before);
    EXPECT_EQ(testing::ModeOf(dir / "t.txt"), 0664u);
}

// The new text (20 bytes) is gathered in the temporary folder, the old one (3
// bytes) copied there too, then the target is rewritten: a disk that is full
// after 5 bytes fails the first step, after 28 bytes the rewrite itself.
TEST(Permissions, FailedInPlaceWritePutsTheOldContentBack) {
    ScratchDir dir;
    if (::geteuid() != 0) ::chmod(dir.path().c_str(), 0555);
    MakeFile(dir, "t.txt", "old", HelperUser(), 0644);
    for (const char* limit : {"5", "28"}) {
        EXPECT_EQ(Helper("write " + (dir / "t.txt").string() + " much-longer-new-text " + limit),
                  Status(WriteStatus::kWriteFailed, ENOSPC))
            << "full after " << limit;
        EXPECT_EQ(ReadBytes(dir / "t.txt"), "old") << "full after " << limit;
    }
}

TEST(Permissions, NothingWritableCannotCreate) {
    ScratchDir dir;
    if (::geteuid() != 0) ::chmod(dir.path().c_str(), 0555);
    MakeFile(dir, "ro.txt", "keep", HelperUser(), 0444);
    EXPECT_EQ(Helper("write " + (dir / "ro.txt").string() + " x"), Status(WriteStatus::kCannotCreate, EACCES));
    EXPECT_EQ(Helper("write " + (dir / "new.txt").string() + " x"), Status(WriteStatus::kCannotCreate, EACCES));
    EXPECT_EQ(ReadBytes(dir / "ro.txt"), "keep");
    EXPECT_FALSE(std::filesystem::exists(dir / "new.txt"));
}

// A read-only file in a writable folder is not replaced by a rename.
TEST(Permissions, ReadOnlyFileInWritableFolderIsRefused) {
    ScratchDir dir;
    ::chmod(dir.path().c_str(), 0777);
    MakeFile(dir, "ro.txt", "keep", HelperUser(), 0444);
    EXPECT_EQ(Helper("write " + (dir / "ro.txt").string() + " x"), Status(WriteStatus::kCannotCreate, EACCES));
    EXPECT_EQ(ReadBytes(dir / "ro.txt"), "keep");
    EXPECT_EQ(dir.Names({"ro.txt"}), std::vector<std::string>{});
}

}  // namespace
}  // namespace tornix
