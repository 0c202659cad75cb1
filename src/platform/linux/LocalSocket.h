#pragma once

#include <chrono>
#include <string>

namespace nimbrel {

// A Unix-domain stream socket of this user, closed with the object; every
// call returns at once or after the wait it is given. The single-instance
// guard listens on one, and a later copy connects to it, sends a line and
// waits for one.
class LocalSocket {
public:
    LocalSocket() = default;
    ~LocalSocket();
    LocalSocket(LocalSocket&& other) noexcept;
    LocalSocket& operator=(LocalSocket&& other) noexcept;

    // Listens at the path, in place of a socket file left there; only this
    // user may connect. Not valid when it cannot; errno says why.
    static LocalSocket listenAt(const std::string& path);
    // Connects to whoever listens at the path; not valid when nobody does.
    static LocalSocket connectTo(const std::string& path);

    bool valid() const { return fd_ >= 0; }
    int descriptor() const { return fd_; }
    // A connection waiting on this listening socket; not valid when none waits.
    LocalSocket accept();
    // Sends every byte, waiting at most so long for room; false when not all went.
    bool send(const std::string& bytes, std::chrono::milliseconds wait);
    // Appends what has arrived to the text, waiting at most so long for it;
    // false once the other side has closed and nothing more will come.
    bool receive(std::string& text, std::chrono::milliseconds wait);

private:
    explicit LocalSocket(int fd) : fd_(fd) {}

    int fd_ = -1;
};

} // namespace nimbrel
