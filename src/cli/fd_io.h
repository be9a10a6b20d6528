// Whole-buffer reads and writes on POSIX file descriptors.
#pragma once

#include <cstddef>
#include <string_view>
#include <sys/types.h>

namespace tornix {

// read(2), retried when a signal interrupts it: the bytes read, 0 at the end,
// -1 with errno set on failure.
ssize_t ReadSome(int fd, char* buffer, std::size_t size);

// Writes every byte, retrying after signals and short writes and waiting while
// a non-blocking descriptor is full. Returns 0, or the errno of the failure.
int WriteAll(int fd, std::string_view bytes);

}  // namespace tornix
