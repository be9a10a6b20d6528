#include "cli/fd_io.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tornix {

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(put));
            continue;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return errno;
        pollfd wait{fd, POLLOUT, 0};
        if (::poll(&wait, 1, -1) < 0 && errno != EINTR) return errno;
    }
    return 0;
}

}  // namespace tornix
