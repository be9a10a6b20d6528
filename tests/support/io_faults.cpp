// The C library's write, pwrite, fsync and rename, replaced for the test
// programs that link this file: a definition in the program comes before the
// C library's, and the real function is found behind it with dlsym.
#include "io_faults.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace tornix::testing {
namespace {

const WriteFaults* g_faults = nullptr;
std::uint64_t g_written = 0;
bool g_diskFullSpent = false;

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

// Writes at most what the disk has room for with `writeSome` (a short write),
// and fails once it is full. After that failure the disk has room again:
// putting the old content back must work, as it does on a real full disk.
template <typename WriteSome>
ssize_t Faulty(int fd, std::size_t count, WriteSome writeSome) {
    if (g_faults == nullptr || g_faults->failAfterBytes < 0 || g_diskFullSpent || !IsFaultable(fd)) {
        return writeSome(count);
    }
    const auto limit = static_cast<std::uint64_t>(g_faults->failAfterBytes);
    if (g_written >= limit) {
        g_diskFullSpent = true;
        errno = g_faults->error;
        return -1;
    }
    const ssize_t n = writeSome(static_cast<std::size_t>(std::min<std::uint64_t>(count, limit - g_written)));
    if (n > 0) g_written += static_cast<std::uint64_t>(n);
    return n;
}

}  // namespace

ScopedWriteFaults::ScopedWriteFaults(const WriteFaults& faults) : m_previous(g_faults), m_faults(faults) {
    g_faults = &m_faults;
    g_written = 0;
    g_diskFullSpent = false;
}

ScopedWriteFaults::~ScopedWriteFaults() {
    g_faults = m_previous;
}

}  // namespace tornix::testing

using tornix::testing::g_faults;

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

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto real = tornix::testing::Real<int (*)(const char*, const char*)>("rename");
    if (g_faults != nullptr && g_faults->failReplace) {
        errno = g_faults->error;
        return -1;
    }
    return real(from, to);
}
