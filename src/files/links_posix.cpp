// POSIX: what a name leads to. Symbolic links followed as the kernel follows
// them for this user, the kinds of file a name can be, and the names of the
// process's own descriptors.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace tornix::fs_os {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit

}  // namespace

std::optional<NativeHandle> DescriptorNamed(const std::filesystem::path& path) {
    const std::string& name = path.native();
    if (name == "/dev/stdout") return STDOUT_FILENO;
    if (name == "/dev/stderr") return STDERR_FILENO;
    for (const std::string_view folder : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
        if (name.compare(0, folder.size(), folder) != 0 || name.size() == folder.size()) continue;
        NativeHandle fd = 0;
        for (std::size_t i = folder.size(); i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9' || fd > INT_MAX / 10) return std::nullopt;
            fd = fd * 10 + (name[i] - '0');
        }
        return fd;
    }
    return std::nullopt;
}

namespace {

// Linux's rule for following a link (fs.protected_symlinks): in a sticky
// folder that everyone may write, only a link of the follower's own or of the
// folder's owner is followed.
bool MayFollow(const std::filesystem::path& link, const struct stat& linkInfo) {
    const std::filesystem::path parent = link.has_parent_path() ? link.parent_path() : ".";
    struct stat folder {};
    if (::stat(parent.c_str(), &folder) != 0) return true;  // the system's own walk then decides
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folder.st_uid;
}

int ReadLink(const std::filesystem::path& link, const struct stat& info, std::string& target) {
    target.assign(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            return 0;
        }
        target.resize(target.size() * 2);  // the link changed meanwhile; try again
    }
}

}  // namespace

int ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved, bool& refused) {
    refused = false;
    std::filesystem::path current = path;
    for (int hop = 0;; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) break;  // a new file, or a dangling link's target
            return errno;
        }
        if (!S_ISLNK(info.st_mode)) break;
        if (hop == kMaxLinkHops) return ELOOP;
        if (!MayFollow(current, info)) {
            refused = true;
            return EACCES;
        }
        std::string link;
        if (int code = ReadLink(current, info, link)) return code;
        const std::filesystem::path next(link);
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    resolved = current;
    return 0;
}

namespace {

FileKind KindOf(const struct stat& info) {
    return S_ISREG(info.st_mode) ? FileKind::kRegular : S_ISDIR(info.st_mode) ? FileKind::kDirectory : FileKind::kOther;
}

// What `path` is, asked with stat or lstat; a missing file is no error.
int InspectWith(int (*statCall)(const char*, struct stat*), const std::filesystem::path& path, FileKind& kind) {
    struct stat info {};
    if (statCall(path.c_str(), &info) != 0) {
        if (errno != ENOENT) return errno;
        kind = FileKind::kMissing;
        return 0;
    }
    kind = KindOf(info);
    return 0;
}

}  // namespace

int InspectFollowingLinks(const std::filesystem::path& path, FileKind& kind) {
    return InspectWith(::stat, path, kind);
}

int Inspect(const std::filesystem::path& path, FileKind& kind) {
    return InspectWith(::lstat, path, kind);
}

}  // namespace tornix::fs_os
