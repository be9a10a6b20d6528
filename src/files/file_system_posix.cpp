// POSIX implementation of the file system calls of the text file layer.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "files/file_system.h"
#include "files/termination.h"

namespace tornix::fs_os {
namespace {

int Fd(const FileHandle& file) {
    return static_cast<int>(file.Get());
}

// Largest single read or write; Linux moves at most about 2 GiB per call.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit

}  // namespace

int FileHandle::CloseNative(NativeHandle handle) noexcept {
    // On Linux the descriptor is gone even when close() reports EINTR.
    if (::close(static_cast<int>(handle)) != 0 && errno != EINTR) return errno;
    return 0;
}

NativeHandle StandardInput() {
    return STDIN_FILENO;
}
NativeHandle StandardOutput() {
    return STDOUT_FILENO;
}
NativeHandle StandardError() {
    return STDERR_FILENO;
}

bool CanOpenForReading(const std::filesystem::path& path) {
    // Non-blocking so that a FIFO without a writer does not hang the probe.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    const bool ok = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    ::close(fd);
    return ok;
}

int OpenForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& sizeHint) {
    sizeHint = 0;
    FileHandle opened(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    struct stat info {};
    if (::fstat(Fd(opened), &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (S_ISREG(info.st_mode) && info.st_size > 0) sizeHint = static_cast<std::uint64_t>(info.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(Fd(opened), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    file = std::move(opened);
    return 0;
}

int OpenRegularForReading(const std::filesystem::path& path, FileHandle& file, std::uint64_t& size) {
    size = 0;
    // A device is not even opened (opening one can act on it). The open does
    // not wait, should the name become a FIFO meanwhile; the file it gives is
    // checked again.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (!S_ISREG(info.st_mode)) return NotRegularFileError();
    FileHandle opened(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    if (::fstat(Fd(opened), &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (!S_ISREG(info.st_mode)) return NotRegularFileError();
    const int flags = ::fcntl(Fd(opened), F_GETFL);
    if (flags >= 0) (void)::fcntl(Fd(opened), F_SETFL, flags & ~O_NONBLOCK);
    size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
#ifdef POSIX_FADV_SEQUENTIAL
    ::posix_fadvise(Fd(opened), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    file = std::move(opened);
    return 0;
}

int Identify(const FileHandle& file, FileIdentity& identity) {
    struct stat info {};
    if (::fstat(Fd(file), &info) != 0) return errno;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.index = static_cast<std::uint64_t>(info.st_ino);
    identity.regular = S_ISREG(info.st_mode);
    return 0;
}

int ReadSome(const FileHandle& file, char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    if (capacity > kMaxTransfer) capacity = kMaxTransfer;
    for (;;) {
        const ssize_t n = ::read(Fd(file), buffer, capacity);
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

int ReadSomeAt(const FileHandle& file, std::uint64_t offset, char* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    if (capacity > kMaxTransfer) capacity = kMaxTransfer;
    for (;;) {
        const ssize_t n = ::pread(Fd(file), buffer, capacity, static_cast<off_t>(offset));
        if (n >= 0) {
            got = static_cast<std::size_t>(n);
            return 0;
        }
        if (errno != EINTR) return errno;
    }
}

void AdviseLargeBuffer(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
    // Faulting in a large buffer 4 KiB at a time costs more than filling it.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 2 * kLargePage) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

void ReleaseBufferTail(void* data, std::size_t used, std::size_t capacity) {
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    // Past the string's terminating NUL, whole pages only.
    const std::uintptr_t first = (begin + used + 1 + page - 1) & ~(page - 1);
    const std::uintptr_t last = (begin + capacity) & ~(page - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

int ResolveLinks(const std::filesystem::path& path, std::filesystem::path& resolved) {
    std::filesystem::path current = path;
    for (int hop = 0;; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) break;  // a new file, or a dangling link's target
            return errno;
        }
        if (!S_ISLNK(info.st_mode)) break;
        if (hop == kMaxLinkHops) return ELOOP;
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        for (;;) {
            const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
            if (n < 0) return errno;
            if (static_cast<std::size_t>(n) < link.size()) {
                link.resize(static_cast<std::size_t>(n));
                break;
            }
            link.resize(link.size() * 2);  // the link changed meanwhile; try again
        }
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

}  // namespace

namespace {

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

int CreateNew(const std::filesystem::path& path, FileHandle& file, bool& exists) {
    // 0666 less the umask: the permissions any new file of the user gets.
    FileHandle created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666));
    exists = !created.IsOpen() && errno == EEXIST;
    if (!created.IsOpen()) return errno;
    file = std::move(created);
    return 0;
}

int CopyPermissions(const std::filesystem::path& model, const FileHandle& file) {
    struct stat wanted {};
    struct stat have {};
    if (::stat(model.c_str(), &wanted) != 0 || ::fstat(Fd(file), &have) != 0) return errno;
    // The owner first: changing it clears the set-id bits that fchmod sets.
    // Only a privileged process may give a file away; otherwise try the group
    // alone, which a member of that group may set.
    if (have.st_uid != wanted.st_uid || have.st_gid != wanted.st_gid) {
        if (::fchown(Fd(file), wanted.st_uid, wanted.st_gid) != 0) {
            (void)::fchown(Fd(file), static_cast<uid_t>(-1), wanted.st_gid);
        }
    }
    if (::fchmod(Fd(file), wanted.st_mode & 07777) != 0) return errno;
    return 0;
}

int CreateUnnamedTemp(FileHandle& file) {
    const char* variable = std::getenv("TMPDIR");
    const std::string folder = variable != nullptr && *variable != '\0' ? variable : "/tmp";
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

bool IsAbandoned(const std::filesystem::path& path, unsigned quietSeconds) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const FileHandle probe(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (std::time(nullptr) - info.st_mtime < static_cast<std::time_t>(quietSeconds)) return false;
    // A writer holds its lock until it closes the file; where locks are not
    // supported the file is kept.
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

std::vector<std::string> NamesStartingWith(const std::filesystem::path& folder, const std::string& prefix) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return names;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
    return names;
}

int OpenForUpdate(const std::filesystem::path& path, FileHandle& file) {
    FileHandle opened(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    file = std::move(opened);
    return 0;
}

int OpenForWriting(const std::filesystem::path& path, FileHandle& file) {
    FileHandle opened(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!opened.IsOpen()) return errno;
    file = std::move(opened);
    return 0;
}

namespace {

// Writes all of data with `write(data, count)` (a write or pwrite call that
// moves its own position), retrying after interruptions and short writes, and
// waiting while a non-blocking descriptor is full.
template <typename WriteSome>
int WriteLoop(int fd, const char* data, std::size_t size, WriteSome writeSome) {
    while (size > 0) {
        const ssize_t n = writeSome(data, size < kMaxTransfer ? size : kMaxTransfer);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) return errno;
            pollfd wait{fd, POLLOUT, 0};
            if (::poll(&wait, 1, -1) < 0 && errno != EINTR) return errno;
            continue;
        }
        if (n == 0) return EIO;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

int WriteAll(const FileHandle& file, const char* data, std::size_t size) {
    return WriteLoop(Fd(file), data, size,
                     [&file](const char* from, std::size_t count) { return ::write(Fd(file), from, count); });
}

int WriteAllAt(const FileHandle& file, std::uint64_t offset, const char* data, std::size_t size) {
    return WriteLoop(Fd(file), data, size, [&file, &offset](const char* from, std::size_t count) {
        const ssize_t n = ::pwrite(Fd(file), from, count, static_cast<off_t>(offset));
        if (n > 0) offset += static_cast<std::uint64_t>(n);
        return n;
    });
}

int ReadAllFromStart(const FileHandle& file, std::string& bytes) {
    bytes.clear();
    std::uint64_t offset = 0;
    constexpr std::size_t kStep = std::size_t{1} << 20;
    for (;;) {
        bytes.resize(offset + kStep);
        const ssize_t n = ::pread(Fd(file), bytes.data() + offset, kStep, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            bytes.clear();
            return errno;
        }
        offset += static_cast<std::uint64_t>(n);
        if (n == 0) break;
    }
    bytes.resize(offset);
    return 0;
}

int SetLength(const FileHandle& file, std::uint64_t length) {
    while (::ftruncate(Fd(file), static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

int ReserveSpace(const FileHandle& file, std::uint64_t length) {
#if defined(__linux__) && defined(FALLOC_FL_KEEP_SIZE)
    if (length == 0) return 0;
    if (::fallocate(Fd(file), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) != 0) {
        if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG) return errno;
    }
#else
    (void)file;
    (void)length;
#endif
    return 0;  // unknown; the write itself will tell
}

int FlushToDisk(const FileHandle& file) {
    while (::fsync(Fd(file)) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

int ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void FlushFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

int RemoveFile(const std::filesystem::path& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

void RemoveFileNow(const char* path) noexcept {
    const int saved = errno;  // a signal handler leaves errno as it found it
    (void)::unlink(path);
    errno = saved;
}

std::string ErrorText(int error) {
    return std::strerror(error);
}

bool IsBrokenPipeError(int error) {
    return error == EPIPE;
}

bool IsMissingFolderError(int error) {
    return error == ENOENT || error == ENOTDIR;
}
int IsDirectoryError() {
    return EISDIR;
}
int NotRegularFileError() {
    return EINVAL;
}
int EndOfFileError() {
    return EIO;
}
int TooManyLinksError() {
    return ELOOP;
}

}  // namespace tornix::fs_os
