// POSIX: files made, opened, renamed and removed by name in a folder held
// open (openat and its kin), the temporary files and the backup folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "files/termination.h"

#include "files/file_system.h"

namespace tornix::fs_os {
namespace {

int Fd(const FileHandle& file) {
    return static_cast<int>(file.Get());
}

}  // namespace

int OpenFolder(const std::filesystem::path& path, Folder& folder) {
    FileHandle opened(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // A folder that may be entered but not listed still takes new files.
    if (!opened.IsOpen() && errno == EACCES)
        opened = FileHandle(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    folder.path = path;
    folder.handle = std::move(opened);
    return 0;
}

int CreateNewIn(const Folder& folder, const std::string& name, NewFileAccess access, FileHandle& file, bool& exists) {
    // 0666 less the umask: the permissions any new file of the user gets.
    const mode_t mode = access == NewFileAccess::kOwnerOnly ? 0600 : 0666;
    FileHandle created(
        ::openat(Fd(folder.handle), name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode));
    exists = !created.IsOpen() && errno == EEXIST;
    if (!created.IsOpen()) return errno;
    file = std::move(created);
    return 0;
}

int OpenForUpdateIn(const Folder& folder, const std::string& name, FileHandle& file, bool& readable) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    FileHandle opened(::openat(Fd(folder.handle), name.c_str(), O_RDWR | kFlags));
    readable = opened.IsOpen();
    if (!opened.IsOpen() && errno == EACCES)
        opened = FileHandle(::openat(Fd(folder.handle), name.c_str(), O_WRONLY | kFlags));
    if (!opened.IsOpen()) return errno;
    struct stat info {};
    if (::fstat(Fd(opened), &info) != 0) return errno;
    if (!S_ISREG(info.st_mode)) return NotRegularFileError();
    const int flags = ::fcntl(Fd(opened), F_GETFL);
    if (flags >= 0) (void)::fcntl(Fd(opened), F_SETFL, flags & ~O_NONBLOCK);
    file = std::move(opened);
    return 0;
}

int OpenExistingIn(const Folder& folder, const std::string& name, FileHandle& file) {
    FileHandle opened(
        ::openat(Fd(folder.handle), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    struct stat info {};
    if (::fstat(Fd(opened), &info) != 0) return errno;
    if (!S_ISREG(info.st_mode)) return NotRegularFileError();
    file = std::move(opened);
    return 0;
}

int RenameIn(const Folder& folder, const std::string& from, const std::string& to) {
    return ::renameat(Fd(folder.handle), from.c_str(), Fd(folder.handle), to.c_str()) == 0 ? 0 : errno;
}

int RenameNewIn(const Folder& folder, const std::string& from, const std::string& to, bool& exists) {
    const int fd = Fd(folder.handle);
    exists = false;
#ifdef RENAME_NOREPLACE
    if (::renameat2(fd, from.c_str(), fd, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) {
        exists = errno == EEXIST;
        return errno;
    }
#endif
    // A file system without that rename: a second name, then the first one goes.
    if (::linkat(fd, from.c_str(), fd, to.c_str(), 0) != 0) {
        exists = errno == EEXIST;
        return errno;
    }
    (void)::unlinkat(fd, from.c_str(), 0);
    return 0;
}

int RemoveIn(const Folder& folder, const std::string& name) {
    return ::unlinkat(Fd(folder.handle), name.c_str(), 0) == 0 ? 0 : errno;
}

NameUse UseOfNameIn(const Folder& folder, const std::string& name) {
    struct stat info {};
    if (::fstatat(Fd(folder.handle), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? NameUse::kFree : NameUse::kOther;
    }
    return S_ISREG(info.st_mode) && info.st_uid == ::geteuid() ? NameUse::kOwnFile : NameUse::kOther;
}

std::filesystem::path TemporaryFolderPath() {
    const char* variable = std::getenv("TMPDIR");
    return variable != nullptr && *variable != '\0' ? variable : "/tmp";
}

int OpenBackupFolder(Folder& folder, bool create) {
    const std::filesystem::path path = TemporaryFolderPath() / ("tornix-backups-" + std::to_string(::geteuid()));
    if (create && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    FileHandle opened(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    struct stat info {};
    if (::fstat(Fd(opened), &info) != 0) return errno;
    if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) return EACCES;  // not this user's own
    folder.path = path;
    folder.handle = std::move(opened);
    return 0;
}

int CreateUnnamedTemp(FileHandle& file) {
    const std::string folder = TemporaryFolderPath();
#ifdef O_TMPFILE
    FileHandle unnamed(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600));
    if (unnamed.IsOpen()) {
        file = std::move(unnamed);
        return 0;
    }
    // Where the file system has no unnamed files, a name is made and removed.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
#endif
    std::string name = folder + "/tornix-XXXXXX";
    const TerminationDeferral deferral;  // the name must not outlive the program
    FileHandle named(::mkostemp(name.data(), O_CLOEXEC));
    if (!named.IsOpen()) return errno;
    ::unlink(name.c_str());
    file = std::move(named);
    return 0;
}

void MarkInUse(const FileHandle& file) {
    // Released by the system when the file is closed, also by a crash.
    (void)::flock(Fd(file), LOCK_EX | LOCK_NB);
}

bool IsAbandoned(const Folder& folder, const std::string& name, unsigned quietSeconds) {
    const int fd = ::openat(Fd(folder.handle), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const FileHandle probe(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (std::time(nullptr) - info.st_mtime < static_cast<std::time_t>(quietSeconds)) return false;
    // A writer holds its lock until it closes the file; where locks are not
    // supported the file is kept.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

std::vector<std::string> NamesStartingWith(const Folder& folder, const std::string& prefix) {
    std::vector<std::string> names;
    const int fd = ::openat(Fd(folder.handle), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return names;
    DIR* listing = ::fdopendir(fd);
    if (listing == nullptr) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    return names;
}

namespace {

FolderEntry::Kind EntryKind(const struct stat& info) {
    if (S_ISREG(info.st_mode)) return FolderEntry::Kind::kRegular;
    if (S_ISDIR(info.st_mode)) return FolderEntry::Kind::kFolder;
    return S_ISLNK(info.st_mode) ? FolderEntry::Kind::kLink : FolderEntry::Kind::kOther;
}

void Describe(const struct stat& info, FolderEntry& entry) {
    entry.kind = EntryKind(info);
    entry.identity.device = static_cast<std::uint64_t>(info.st_dev);
    entry.identity.index = static_cast<std::uint64_t>(info.st_ino);
    entry.identity.regular = S_ISREG(info.st_mode);
    entry.identity.links = static_cast<std::uint64_t>(info.st_nlink);
    entry.size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

}  // namespace

int ListFolder(const Folder& folder, std::vector<FolderEntry>& entries) {
    entries.clear();
    const int fd = ::openat(Fd(folder.handle), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    DIR* listing = ::fdopendir(fd);
    if (listing == nullptr) {
        const int code = errno;
        ::close(fd);
        return code;
    }
    errno = 0;
    while (const dirent* found = ::readdir(listing)) {
        const std::string name = found->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry entry;
        entry.name = name;
        struct stat info {};
        if (::fstatat(::dirfd(listing), found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0) Describe(info, entry);
        entries.push_back(std::move(entry));
        errno = 0;
    }
    const int code = errno;
    ::closedir(listing);
    return code;
}

int ExamineFollowingLinks(const std::filesystem::path& path, FolderEntry& entry) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno;
    entry.name = path.filename().native();
    Describe(info, entry);
    return 0;
}

std::vector<std::filesystem::path> MatchWildcards(const std::filesystem::path& path) {
    return {path};  // the shell has matched them
}

bool IsTerminal(NativeHandle stream) {
    return ::isatty(static_cast<int>(stream)) == 1;
}

void FlushFolder(const Folder& folder) {
    (void)::fsync(Fd(folder.handle));
}

}  // namespace tornix::fs_os
