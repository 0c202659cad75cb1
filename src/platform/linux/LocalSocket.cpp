#include "LocalSocket.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace nimbrel {

namespace {

constexpr int socketKind = SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC;

// The address of a path; false when the path is too long for one.
bool addressOf(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool ready(int fd, short events, std::chrono::milliseconds wait)
{
    pollfd entry{fd, events, 0};
    int result;
    do {
        result = ::poll(&entry, 1, static_cast<int>(wait.count()));
    } while (result < 0 && errno == EINTR);
    return result > 0;
}

} // namespace

LocalSocket::~LocalSocket()
{
    if (fd_ >= 0) ::close(fd_);
}

LocalSocket::LocalSocket(LocalSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

LocalSocket& LocalSocket::operator=(LocalSocket&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

LocalSocket LocalSocket::listenAt(const std::string& path)
{
    sockaddr_un address;
    if (!addressOf(path, address)) return {};
    LocalSocket socket(::socket(AF_UNIX, socketKind, 0));
    if (!socket.valid()) return {};
    ::unlink(path.c_str());
    if (::bind(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return {};
    if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket.fd_, 8) != 0) {
        const int error = errno;
        ::unlink(path.c_str());
        errno = error;
        return {};
    }
    return socket;
}

LocalSocket LocalSocket::connectTo(const std::string& path)
{
    sockaddr_un address;
    if (!addressOf(path, address)) return {};
    LocalSocket socket(::socket(AF_UNIX, socketKind, 0));
    // A local connection is made or refused at once.
    if (!socket.valid() || ::connect(socket.fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {};
    return socket;
}

LocalSocket LocalSocket::accept() { return LocalSocket(::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)); }

bool LocalSocket::send(const std::string& bytes, std::chrono::milliseconds wait)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && ready(fd_, POLLOUT, wait)) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

bool LocalSocket::receive(std::string& text, std::chrono::milliseconds wait)
{
    if (!ready(fd_, POLLIN, wait)) return true;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return n < 0 && errno == EAGAIN; // nothing more for now; 0 is the end
        }
    }
}

} // namespace nimbrel
