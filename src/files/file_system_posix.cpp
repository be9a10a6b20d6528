// POSIX implementation of the file system calls of the text file layer.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "files/termination.h"

namespace tornix::fs_os {
namespace {

int Fd(const FileHandle& file) {
    return static_cast<int>(file.Get());
}

// Largest single read or write; Linux moves at most about 2 GiB per call.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

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
    identity.links = static_cast<std::uint64_t>(info.st_nlink);
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

bool IsBusyError(int error) {
    return error == EWOULDBLOCK;
}

bool IsMountPointError(int error) {
    return error == EBUSY;
}

std::filesystem::path PathFromUtf8(std::string_view name) {
    return std::filesystem::path(std::string(name));  // the bytes are the name
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return path.native();
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
}  // namespace tornix::fs_os
