// Saves in the situations that another local user, a crash or a signal make,
// each run through a helper process as root and as an unprivileged user
// ("nobody", through setpriv), and judged by what the user's file and its
// metadata are afterwards. Cases that need another user's files run only
// when the tests run as root.
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>

#include "files/text_file.h"
#include "support/scratch_dir.h"

namespace tornix {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
constexpr uid_t kStranger = 65533;  // a user who is neither the saver nor root
const std::string kOld = "old content, which must survive";
const std::string kNew = "new content";

bool AsRoot() {
    return ::geteuid() == 0;
}

struct HelperRun {
    int status = -1;  // the helper's wait status
    std::string out;

    bool Exited() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
    int Signal() const { return WIFSIGNALED(status) ? WTERMSIG(status) : 0; }
    std::string Line(std::size_t n) const {
        std::istringstream lines(out);
        std::string line;
        for (std::size_t i = 0; i <= n && std::getline(lines, line); ++i) {}
        return line;
    }
};

// Runs files_helper as `user` (root runs it as itself), with TMPDIR set.
HelperRun Helper(uid_t user, const std::string& arguments, const std::string& tmpdir = "/tmp") {
    std::string command = "exec env TMPDIR='" + tmpdir + "' ";
    if (user != ::geteuid()) {
        command += "setpriv --reuid=" + std::to_string(user) + " --regid=" + std::to_string(user) + " --clear-groups ";
    }
    command += TORNIX_FILES_HELPER " " + arguments;
    HelperRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.out += buffer;
    run.status = ::pclose(pipe);
    return run;
}

std::string Outcome(WriteStatus status, int error, SaveProblem problem = SaveProblem::kNone) {
    return std::to_string(static_cast<int>(status)) + " " + std::to_string(error) + " " +
           std::to_string(static_cast<int>(problem));
}

struct stat Stat(const std::filesystem::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

std::string Attribute(const std::filesystem::path& path, const char* name) {
    char value[256];
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? "<none>" : std::string(value, static_cast<std::size_t>(n));
}

// An access ACL as the kernel stores it: owner rw-, the user `named` r--,
// group r--, mask rw-, others ---.
std::string Acl(uid_t named) {
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);  // the format's version
    for (const auto& [tag, perm, id] : {std::tuple<unsigned, unsigned, std::uint32_t>{1, 6, ~0u},
                                        {2, 4, named},
                                        {4, 4, ~0u},
                                        {0x10, 6, ~0u},
                                        {0x20, 0, ~0u}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return bytes;
}

// One situation: the scene is made in `dir` for the saver `user`, the helper
// saves `dir/t.txt` (with `faults`), and the outcome is judged.
struct Scene {
    const ScratchDir& dir;
    uid_t user;
    std::filesystem::path target() const { return dir / "t.txt"; }
    void Own(const std::filesystem::path& path, uid_t owner, mode_t mode) const {
        ASSERT_EQ(::lchown(path.c_str(), owner, owner), 0) << path;
        if (!std::filesystem::is_symlink(path)) {
            ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
        }
    }
    // The saver's file t.txt with the old content, in a folder it may write.
    void SaversFile(mode_t mode) const {
        dir.Put("t.txt", kOld);
        Own(target(), user, mode);
        Own(dir.path(), user, 0755);
    }
};

struct SaveCase {
    const char* name;
    bool needsRoot;  // another user's files, or a mount
    std::function<void(const Scene&)> make;
    std::string faults;
    std::function<void(const Scene&, const HelperRun&)> judge;
    friend void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }
};

// A signal in the middle of a save: it waits while the file is rewritten in
// place (then the file is whole and new, and no backup stays), and ends a save
// by rename at once (the file is as it was, and no temporary file stays).
SaveCase Signalled(const char* name, int signal, bool inPlace) {
    const std::string at = std::to_string(kNew.size() + kOld.size() + 4);  // inside the last copy
    return {name, false,
            [inPlace](const Scene& scene) {
                scene.SaversFile(0644);
                if (inPlace) {
                    ASSERT_EQ(::link(scene.target().c_str(), (scene.dir / "u.txt").c_str()), 0);
                }
            },
            "raise=" + std::to_string(signal) + ":" + (inPlace ? at : "4"),
            [signal, inPlace](const Scene& scene, const HelperRun& run) {
                EXPECT_EQ(run.Signal(), signal) << run.out;
                EXPECT_EQ(ReadBytes(scene.target()), inPlace ? kNew : kOld);
                EXPECT_EQ(scene.dir.Names({"t.txt", "u.txt"}), Names{});
            }};
}

std::vector<SaveCase> Cases() {
    return {
        {"PrivateFileIsNeverReadableByOthers", false, [](const Scene& scene) { scene.SaversFile(0600); }, "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kOk, 0));
             EXPECT_EQ(ReadBytes(scene.target()), kNew);
             EXPECT_EQ(Stat(scene.target()).st_mode & 07777, 0600u);
             // modes: created M... written M...: the temporary file from its first moment.
             std::istringstream modes(run.Line(1).substr(run.Line(1).find("created")));
             for (std::string word; modes >> word;) {
                 if (word == "created" || word == "written") continue;
                 EXPECT_EQ(std::stoul(word, nullptr, 8) & 077, 0u) << run.Line(1);
             }
         }},
        {"OthersLinkInStickyFolderIsNotFollowed", true,
         [](const Scene& scene) {
             std::filesystem::create_directory(scene.dir / "own");
             scene.Own(scene.dir / "own", scene.user, 0700);
             WriteBytes(scene.dir / "own" / "victim", kOld);
             scene.Own(scene.dir / "own" / "victim", scene.user, 0600);
             std::filesystem::create_symlink(scene.dir / "own" / "victim", scene.target());
             scene.Own(scene.target(), kStranger, 0);
             scene.Own(scene.dir.path(), 0, 01777);
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kCannotCreate, EACCES, SaveProblem::kUnsafeLink));
             EXPECT_EQ(ReadBytes(scene.dir / "own" / "victim"), kOld);
             EXPECT_TRUE(std::filesystem::is_symlink(scene.target()));
         }},
        {"OwnLinkInStickyFolderIsFollowed", false,
         [](const Scene& scene) {
             scene.dir.Put("victim", kOld);
             scene.Own(scene.dir / "victim", scene.user, 0644);
             std::filesystem::create_symlink("victim", scene.target());
             scene.Own(scene.target(), scene.user, 0);
             scene.Own(scene.dir.path(), AsRoot() ? 0 : scene.user, 01777);
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kOk, 0));
             EXPECT_EQ(ReadBytes(scene.dir / "victim"), kNew);
             EXPECT_TRUE(std::filesystem::is_symlink(scene.target()));
         }},
        {"HardLinksKeepSharingTheFile", false,
         [](const Scene& scene) {
             scene.SaversFile(0640);
             ASSERT_EQ(::link(scene.target().c_str(), (scene.dir / "u.txt").c_str()), 0);
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kOk, 0));
             EXPECT_EQ(ReadBytes(scene.dir / "u.txt"), kNew);
             EXPECT_EQ(Stat(scene.target()).st_ino, Stat(scene.dir / "u.txt").st_ino);
             EXPECT_EQ(scene.dir.Names({"t.txt", "u.txt"}), Names{}) << "the backup stayed";
         }},
        {"AclAndAttributesStayExactly", false,
         [](const Scene& scene) {
             scene.SaversFile(0640);
             const std::string acl = Acl(kStranger);
             ASSERT_EQ(::setxattr(scene.target().c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
             ASSERT_EQ(::setxattr(scene.target().c_str(), "user.origin", "scan", 4, 0), 0);
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kOk, 0));
             EXPECT_EQ(ReadBytes(scene.target()), kNew);
             EXPECT_EQ(Attribute(scene.target(), "system.posix_acl_access"), Acl(kStranger));
             EXPECT_EQ(Attribute(scene.target(), "user.origin"), "scan");
             EXPECT_EQ(Stat(scene.target()).st_mode & 07777, 0660u) << "group bits are the mask, as before";
         }},
        {"AnotherUsersFileKeepsItsOwner", true,
         [](const Scene& scene) {
             scene.dir.Put("t.txt", kOld);
             scene.Own(scene.target(), kStranger, 0666);
             scene.Own(scene.dir.path(), 0, 0777);
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kOk, 0));
             EXPECT_EQ(ReadBytes(scene.target()), kNew);
             EXPECT_EQ(Stat(scene.target()).st_uid, kStranger);
             EXPECT_EQ(Stat(scene.target()).st_mode & 07777, 0666u);
         }},
        {"CrashDuringRewriteLeavesABackupThatTheNextSaveShows", false,
         [](const Scene& scene) {
             scene.SaversFile(0644);
             ASSERT_EQ(::link(scene.target().c_str(), (scene.dir / "u.txt").c_str()), 0);
         },
         "raise=9:" + std::to_string(kNew.size() + kOld.size() + 4),
         [](const Scene& scene, const HelperRun& run) {
             ASSERT_EQ(run.Signal(), SIGKILL) << run.out;
             const auto backup = scene.dir / "t.txt.tornix-backup";
             EXPECT_EQ(ReadBytes(backup), kOld);
             EXPECT_EQ(Stat(backup).st_mode & 077, 0u) << "the backup is its owner's alone";
             const std::string torn = ReadBytes(scene.target());
             const HelperRun again = Helper(scene.user, "write " + scene.target().string() + " later");
             EXPECT_EQ(again.Line(0), Outcome(WriteStatus::kCannotCreate, EEXIST, SaveProblem::kBackupExists));
             EXPECT_EQ(again.Line(1), backup.string());
             EXPECT_EQ(ReadBytes(scene.target()), torn) << "the refused save changed the file";
             EXPECT_EQ(ReadBytes(backup), kOld);
         }},
        Signalled("InterruptWaitsForTheRewrite", SIGINT, true),
        Signalled("TerminateWaitsForTheRewrite", SIGTERM, true),
        Signalled("HangUpWaitsForTheRewrite", SIGHUP, true),
        Signalled("BrokenPipeWaitsForTheRewrite", SIGPIPE, true),
        Signalled("FileSizeLimitWaitsForTheRewrite", SIGXFSZ, true),
        Signalled("InterruptEndsASaveByRename", SIGINT, false),
        Signalled("BrokenPipeEndsASaveByRename", SIGPIPE, false),
        Signalled("FileSizeLimitEndsASaveByRename", SIGXFSZ, false),
        {"NearPathMaxIsStillARename", false,
         [](const Scene& scene) {
             // The file's path a few bytes short of PATH_MAX (4096), its temporary file's beyond it.
             std::filesystem::path deep = scene.dir.path();
             while (deep.native().size() + 1 + 230 < 4085) deep /= std::string(200, 'd');
             std::filesystem::create_directories(deep);
             const auto file = deep / std::string(4085 - deep.native().size() - 1, 'f');
             WriteBytes(file, kOld);
             for (auto part = deep; part != scene.dir.path(); part = part.parent_path()) {
                 scene.Own(part, scene.user, 0755);
             }
             scene.Own(file, scene.user, 0644);
             std::filesystem::create_symlink(file, scene.target());
             scene.Own(scene.target(), scene.user, 0);
             scene.Own(scene.dir.path(), scene.user, 0755);
             WriteBytes(scene.dir / "inode", std::to_string(Stat(file).st_ino));
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kOk, 0));
             EXPECT_EQ(ReadBytes(scene.target()), kNew);
             struct stat after {};
             ASSERT_EQ(::stat(scene.target().c_str(), &after), 0);
             EXPECT_NE(std::to_string(after.st_ino), ReadBytes(scene.dir / "inode"))
                 << "rewritten in place, not renamed";
         }},
        {"BadTemporaryFolderIsNamed", false,
         [](const Scene& scene) {
             scene.SaversFile(0644);
             scene.Own(scene.dir.path(), 0, 0555);
             if (!AsRoot()) {
                 ASSERT_EQ(::chmod(scene.dir.path().c_str(), 0555), 0);
             }
             ASSERT_EQ(::link(scene.target().c_str(), (scene.dir / "u.txt").c_str()), 0);
         },
         "",
         [](const Scene& scene, const HelperRun& run) {
             EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kCannotCreate, ENOENT, SaveProblem::kTemporaryFolder));
             EXPECT_EQ(run.Line(1), "/nonexistent/tmp");
             EXPECT_EQ(ReadBytes(scene.target()), kOld);
         }},
    };
}

class SaveSituationTest : public ::testing::TestWithParam<std::tuple<SaveCase, bool>> {};

TEST_P(SaveSituationTest, LeavesTheFileWholeWithWhatItWas) {
    const auto& [c, asNobody] = GetParam();
    if (asNobody && !AsRoot()) GTEST_SKIP() << "the saver is this user when the tests do not run as root";
    if (c.needsRoot && !AsRoot()) GTEST_SKIP() << "needs root to make another user's files";
    ScratchDir dir;
    const Scene scene{dir, asNobody ? kNobody : ::geteuid()};
    ASSERT_NO_FATAL_FAILURE(c.make(scene));
    const std::string tmpdir = std::string(c.name) == "BadTemporaryFolderIsNamed" ? "/nonexistent/tmp" : "/tmp";
    const HelperRun run =
        Helper(scene.user, "write " + scene.target().string() + " '" + kNew + "' " + c.faults, tmpdir);
    c.judge(scene, run);
}

INSTANTIATE_TEST_SUITE_P(Situations, SaveSituationTest,
                         ::testing::Combine(::testing::ValuesIn(Cases()), ::testing::Bool()), [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "AsNobody" : "AsSelf");
                         });

// Two rewrites of one file never mix: while one holds the file's lock (and,
// once it has begun, its backup is there), the other fails and says that
// another program is writing the file, which keeps the first one's content.
TEST(SaveSituation, SecondRewriteOfAFileFailsWhileTheFirstGoesOn) {
    ScratchDir dir;
    const Scene scene{dir, ::geteuid()};
    scene.SaversFile(0644);
    ASSERT_EQ(::link(scene.target().c_str(), (dir / "u.txt").c_str()), 0);
    const int holder = ::open(scene.target().c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    const HelperRun beginning = Helper(scene.user, "write " + scene.target().string() + " x");
    dir.Put("t.txt.tornix-backup", kOld);
    const HelperRun rewriting = Helper(scene.user, "write " + scene.target().string() + " x");
    ::close(holder);
    EXPECT_EQ(beginning.Line(0), Outcome(WriteStatus::kWriteFailed, EWOULDBLOCK, SaveProblem::kBusy));
    EXPECT_EQ(rewriting.Line(0), Outcome(WriteStatus::kCannotCreate, EWOULDBLOCK, SaveProblem::kBusy));
    EXPECT_EQ(ReadBytes(scene.target()), kOld);
    EXPECT_EQ(dir.Names({"t.txt", "u.txt", "t.txt.tornix-backup"}), Names{});
}

// A file mounted on its own (a bind mount) cannot be renamed over: it is
// rewritten in place, and stays mounted. In a mount namespace of this
// process only; skipped where mounting is not allowed.
TEST(SaveSituation, BindMountedFileIsRewrittenInPlace) {
    ScratchDir dir;
    const auto target = dir.Put("t.txt", kOld);
    if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(target.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "cannot bind-mount here (" << std::strerror(errno) << ")";
    }
    const WriteResult result = WriteTextFile(target, GbkString(kNew));
    const std::string after = ReadBytes(target);
    const Names left = dir.Names({"t.txt"});
    const int unmounted = ::umount2(target.c_str(), MNT_DETACH);
    EXPECT_EQ(result.status, WriteStatus::kOk) << result.error;
    EXPECT_EQ(after, kNew);
    EXPECT_EQ(left, Names{});
    EXPECT_EQ(unmounted, 0) << "the mount went away";
}

// The permission cases of the window's save and read, as the unprivileged user.
uid_t HelperUser() {
    return AsRoot() ? kNobody : ::geteuid();
}

void MakeFile(const ScratchDir& dir, const char* name, const std::string& content, uid_t owner, mode_t mode) {
    WriteBytes(dir / name, content);
    ASSERT_EQ(::chown((dir / name).c_str(), owner, static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chmod((dir / name).c_str(), mode), 0);
}

TEST(Permissions, UnreadableFileFailsTheProbeAndTheRead) {
    ScratchDir dir;
    MakeFile(dir, "secret.txt", "hidden", ::geteuid(), 0200);
    MakeFile(dir, "open.txt", "shown", ::geteuid(), 0644);
    EXPECT_EQ(Helper(HelperUser(), "exists " + (dir / "secret.txt").string()).out, "0\n");
    EXPECT_EQ(Helper(HelperUser(), "read " + (dir / "secret.txt").string()).out,
              std::to_string(static_cast<int>(ReadStatus::kCannotOpen)) + " " + std::to_string(EACCES) + " 0\n");
    EXPECT_EQ(Helper(HelperUser(), "exists " + (dir / "open.txt").string()).out, "1\n")
        << "the helper itself must work";
}

// The folder refuses new files, the file itself is writable: written in
// place (the same file, not a new one renamed over it), keeping its owner and
// mode.
TEST(Permissions, ReadOnlyFolderWritableFileIsWrittenInPlace) {
    ScratchDir dir;  // 0755, owned by us: not writable for the helper when we are root
    if (!AsRoot()) ::chmod(dir.path().c_str(), 0555);
    MakeFile(dir, "t.txt", "a longer old text", HelperUser(), 0664);
    const ino_t before = Stat(dir / "t.txt").st_ino;
    EXPECT_EQ(Helper(HelperUser(), "write " + (dir / "t.txt").string() + " new").Line(0), Outcome(WriteStatus::kOk, 0));
    EXPECT_EQ(ReadBytes(dir / "t.txt"), "new");
    EXPECT_EQ(Stat(dir / "t.txt").st_ino, before);
    EXPECT_EQ(testing::ModeOf(dir / "t.txt"), 0664u);
}

// The new text (20 bytes) is gathered in the temporary folder, the old one (3
// bytes) copied to the backup, then the target is rewritten: a disk that is
// full after 5 bytes fails the first step, after 28 bytes the rewrite itself.
TEST(Permissions, FailedInPlaceWritePutsTheOldContentBack) {
    ScratchDir dir;
    if (!AsRoot()) ::chmod(dir.path().c_str(), 0555);
    MakeFile(dir, "t.txt", "old", HelperUser(), 0644);
    for (const auto& [limit, problem] : {std::pair{"5", SaveProblem::kTemporaryFolder}, {"28", SaveProblem::kNone}}) {
        const HelperRun run =
            Helper(HelperUser(), "write " + (dir / "t.txt").string() + " much-longer-new-text full=" + limit);
        EXPECT_EQ(run.Line(0), Outcome(WriteStatus::kWriteFailed, ENOSPC, problem)) << "full after " << limit;
        EXPECT_EQ(ReadBytes(dir / "t.txt"), "old") << "full after " << limit;
    }
}

TEST(Permissions, NothingWritableCannotCreate) {
    ScratchDir dir;
    if (!AsRoot()) ::chmod(dir.path().c_str(), 0555);
    MakeFile(dir, "ro.txt", "keep", HelperUser(), 0444);
    EXPECT_EQ(Helper(HelperUser(), "write " + (dir / "ro.txt").string() + " x").Line(0),
              Outcome(WriteStatus::kCannotCreate, EACCES));
    EXPECT_EQ(Helper(HelperUser(), "write " + (dir / "new.txt").string() + " x").Line(0),
              Outcome(WriteStatus::kCannotCreate, EACCES));
    EXPECT_EQ(ReadBytes(dir / "ro.txt"), "keep");
    EXPECT_FALSE(std::filesystem::exists(dir / "new.txt"));
}

// A read-only file in a writable folder is not replaced by a rename.
TEST(Permissions, ReadOnlyFileInWritableFolderIsRefused) {
    ScratchDir dir;
    ::chmod(dir.path().c_str(), 0777);
    MakeFile(dir, "ro.txt", "keep", HelperUser(), 0444);
    EXPECT_EQ(Helper(HelperUser(), "write " + (dir / "ro.txt").string() + " x").Line(0),
              Outcome(WriteStatus::kCannotCreate, EACCES));
    EXPECT_EQ(ReadBytes(dir / "ro.txt"), "keep");
    EXPECT_EQ(dir.Names({"ro.txt"}), Names{});
}

}  // namespace
}  // namespace tornix
