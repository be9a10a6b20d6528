// The C library's openat, write, pwrite, fsync and renameat, replaced for
// the test programs that link this file: a definition in the program comes
// before the C library's, and the real function is found behind it with dlsym.
#include "io_faults.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>

namespace tornix::testing {
namespace {

const WriteFaults* g_faults = nullptr;
std::uint64_t g_written = 0;
bool g_diskFullSpent = false;
bool g_raised = false;
FileEvents g_events;

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// A file the faults apply to: a regular file, not the standard streams (the
// test framework's own output may go to a file).
bool IsFaultable(int fd) {
    struct stat info {};
    return fd > 2 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

void NoteWrite(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) == 0) g_events.writtenModes.push_back(info.st_mode & 07777);
}

// Sends the signal the faults ask for once the bytes are written.
void RaiseWhenDue() {
    if (g_faults == nullptr || g_faults->raiseAfterBytes < 0 || g_raised) return;
    if (g_written < static_cast<std::uint64_t>(g_faults->raiseAfterBytes)) return;
    g_raised = true;
    ::raise(g_faults->raiseSignal);
}

// Writes at most what the disk has room for with `writeSome` (a short write),
// and fails once it is full. After that failure the disk has room again:
// putting the old content back must work, as it does on a real full disk.
template <typename WriteSome>
ssize_t Faulty(int fd, std::size_t count, WriteSome writeSome) {
    if (!IsFaultable(fd)) return writeSome(count);
    NoteWrite(fd);
    std::size_t allowed = count;
    if (g_faults != nullptr && g_faults->failAfterBytes >= 0 && !g_diskFullSpent) {
        const auto limit = static_cast<std::uint64_t>(g_faults->failAfterBytes);
        if (g_written >= limit) {
            g_diskFullSpent = true;
            errno = g_faults->error;
            return -1;
        }
        allowed = static_cast<std::size_t>(std::min<std::uint64_t>(count, limit - g_written));
    }
    if (g_faults != nullptr && g_faults->raiseAfterBytes >= 0 && !g_raised) {
        const auto due = static_cast<std::uint64_t>(g_faults->raiseAfterBytes);
        if (due > g_written) allowed = static_cast<std::size_t>(std::min<std::uint64_t>(allowed, due - g_written));
    }
    const ssize_t n = writeSome(allowed);
    if (n > 0) g_written += static_cast<std::uint64_t>(n);
    RaiseWhenDue();
    return n;
}

}  // namespace

ScopedWriteFaults::ScopedWriteFaults(const WriteFaults& faults) : m_previous(g_faults), m_faults(faults) {
    g_faults = &m_faults;
    g_written = 0;
    g_diskFullSpent = false;
    g_raised = false;
}

ScopedWriteFaults::~ScopedWriteFaults() {
    g_faults = m_previous;
}

const FileEvents& RecordedFileEvents() {
    return g_events;
}

}  // namespace tornix::testing

using tornix::testing::g_faults;

extern "C" int openat(int folder, const char* path, int flags, ...) {
    static const auto real = tornix::testing::Real<int (*)(int, const char*, int, ...)>("openat");
    unsigned mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list more;
        va_start(more, flags);
        mode = va_arg(more, unsigned);
        va_end(more);
        tornix::testing::g_events.createdModes.push_back(mode);
    }
    return real(folder, path, flags, mode);
}

extern "C" ssize_t write(int fd, const void* data, size_t count) {
    static const auto real = tornix::testing::Real<ssize_t (*)(int, const void*, size_t)>("write");
    return tornix::testing::Faulty(fd, count, [&](std::size_t allowed) { return real(fd, data, allowed); });
}

extern "C" ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    static const auto real = tornix::testing::Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return tornix::testing::Faulty(fd, count, [&](std::size_t allowed) { return real(fd, data, allowed, offset); });
}

extern "C" int fsync(int fd) {
    static const auto real = tornix::testing::Real<int (*)(int)>("fsync");
    if (g_faults != nullptr && g_faults->failFlush) {
        errno = g_faults->error;
        return -1;
    }
    return real(fd);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept {
    static const auto real = tornix::testing::Real<int (*)(int, const char*, int, const char*)>("renameat");
    if (g_faults != nullptr && g_faults->failReplace) {
        errno = g_faults->error;
        return -1;
    }
    return real(fromFolder, from, toFolder, to);
}
