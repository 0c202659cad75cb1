#include "SmallFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace nimbrel {

long readSmallFile(const char* path, char* buffer, std::size_t capacity) noexcept
{
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return -1;

    // A /proc or cgroup file hands over its whole text in one read, and a regular file reads short only
    // at its end, so a short read ends the loop without the extra read() that would return 0.
    std::size_t got = 0;
    while (got < capacity) {
        const std::size_t wanted = capacity - got;
        const ssize_t n = ::read(fd, buffer + got, wanted);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < wanted) break;
    }
    ::close(fd);
    return static_cast<long>(got);
}

} // namespace nimbrel
