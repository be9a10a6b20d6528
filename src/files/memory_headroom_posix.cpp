// MemoryHeadroom on POSIX systems, from getrlimit and, on Linux, from /proc
// and the control-group files. A value that cannot be read counts as no limit.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "files/memory_headroom.h"

namespace tornix {
namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// A small text file of the kernel's, whole ("" when it cannot be read).
std::string ReadSmallFile(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return text;
}

// The number after `key` in /proc/meminfo's "Key:   1234 kB" lines, in bytes.
std::optional<std::uint64_t> MeminfoBytes(const std::string& meminfo, const char* key) {
    const std::size_t at = meminfo.find(key);
    if (at == std::string::npos) return std::nullopt;
    return std::strtoull(meminfo.c_str() + at + std::strlen(key), nullptr, 10) * 1024;
}

std::uint64_t AddressSpaceHeadroom() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
    // The first number of statm is the address space in use, in pages.
    const std::string statm = ReadSmallFile("/proc/self/statm");
    const std::uint64_t used =
        std::strtoull(statm.c_str(), nullptr, 10) * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    return limit.rlim_cur > used ? limit.rlim_cur - used : 0;
}

std::uint64_t SystemHeadroom() {
    const std::string meminfo = ReadSmallFile("/proc/meminfo");
    const auto available = MeminfoBytes(meminfo, "MemAvailable:");
    if (!available) return kUnlimited;
    return *available + MeminfoBytes(meminfo, "SwapFree:").value_or(0);
}

// cgroup v2: the least room left under memory.max in the process's group and
// the groups above it.
std::uint64_t ControlGroupHeadroom() {
    const std::string groups = ReadSmallFile("/proc/self/cgroup");
    const std::size_t at = groups.find("0::/");
    if (at == std::string::npos) return kUnlimited;
    std::string group = groups.substr(at + 3, groups.find('\n', at) - at - 3);
    std::uint64_t headroom = kUnlimited;
    for (;;) {
        const std::string folder = "/sys/fs/cgroup" + group;
        const std::string max = ReadSmallFile(folder + "/memory.max");
        if (!max.empty() && max.compare(0, 3, "max") != 0) {
            const std::uint64_t limit = std::strtoull(max.c_str(), nullptr, 10);
            const std::uint64_t current = std::strtoull(ReadSmallFile(folder + "/memory.current").c_str(), nullptr, 10);
            headroom = std::min(headroom, limit > current ? limit - current : 0);
        }
        if (group.size() <= 1) return headroom;
        group.resize(std::max<std::size_t>(group.rfind('/'), 1));
    }
}

}  // namespace

std::uint64_t MemoryHeadroom() {
    return std::min({AddressSpaceHeadroom(), SystemHeadroom(), ControlGroupHeadroom()});
}

}  // namespace tornix
