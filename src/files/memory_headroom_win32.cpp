// MemoryHeadroom on Windows: the process's free address space (2 GiB in all
// for the 32-bit program) and what the system can still commit.
#include <windows.h>

#include <algorithm>

#include "files/memory_headroom.h"

namespace tornix {

std::uint64_t MemoryHeadroom() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return ~std::uint64_t{0};
    return std::min<std::uint64_t>(status.ullAvailVirtual, status.ullAvailPageFile);
}

}  // namespace tornix
