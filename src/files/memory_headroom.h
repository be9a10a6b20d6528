// How much more memory this process can take: for refusing, with a message,
// work that would not fit, instead of being ended by the system half-way.
#pragma once

#include <cstdint>

namespace tornix {

// The least of what the process's address-space limit still allows (POSIX
// RLIMIT_AS; a 32-bit process's address space on Windows), what the system
// can still give (memory it can free for programs, and free swap or page
// file) and, on Linux, what the process's memory control group allows. The
// largest value when none of them is known.
[[nodiscard]] std::uint64_t MemoryHeadroom();

}  // namespace tornix
