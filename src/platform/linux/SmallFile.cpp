#include "SmallFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace nimbrel {

namespace {

int openToRead(const char* path) noexcept
{
    int fd;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

long readFromStart(int fd, char* buffer, std::size_t capacity) noexcept
{
    // A /proc or cgroup file hands over its whole text in one read, and a regular file reads short only
    // at its end, so a short read ends the loop without the extra read() that would return 0.
    std::size_t got = 0;
    while (got < capacity) {
        const std::size_t wanted = capacity - got;
        const ssize_t n = ::pread(fd, buffer + got, wanted, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < wanted) break;
    }
    return static_cast<long>(got);
}

} // namespace

long readSmallFile(const char* path, char* buffer, std::size_t capacity) noexcept
{
    const int fd = openToRead(path);
    if (fd < 0) return -1;
    const long got = readFromStart(fd, buffer, capacity);
    ::close(fd);
    return got;
}

KeptSmallFile::~KeptSmallFile()
{
    if (fd_ >= 0) ::close(fd_);
}

long KeptSmallFile::read(char* buffer, std::size_t capacity) noexcept
{
    if (fd_ < 0) fd_ = openToRead(path_.c_str());
    if (fd_ < 0) return -1;
    return readFromStart(fd_, buffer, capacity);
}

} // namespace nimbrel
