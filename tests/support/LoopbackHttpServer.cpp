#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace nimbrel::testing {

HttpAnswer HttpAnswer::ok(std::string body, std::vector<std::string> headerLines)
{
    HttpAnswer answer;
    answer.body = std::move(body);
    answer.headerLines = std::move(headerLines);
    return answer;
}

HttpAnswer HttpAnswer::withStatus(int status, std::string reason, std::string body)
{
    HttpAnswer answer;
    answer.status = status;
    answer.reason = std::move(reason);
    answer.body = std::move(body);
    return answer;
}

HttpAnswer HttpAnswer::held(std::string body)
{
    HttpAnswer answer = ok(std::move(body));
    answer.kind = Kind::Hold;
    return answer;
}

HttpAnswer HttpAnswer::stall()
{
    HttpAnswer answer;
    answer.kind = Kind::Stall;
    return answer;
}

HttpAnswer HttpAnswer::close()
{
    HttpAnswer answer;
    answer.kind = Kind::Close;
    return answer;
}

HttpAnswer HttpAnswer::trickle(std::string body, int pieces, std::chrono::milliseconds pause)
{
    HttpAnswer answer = ok(std::move(body));
    answer.kind = Kind::Trickle;
    answer.pieces = pieces;
    answer.pause = pause;
    return answer;
}

HttpAnswer HttpAnswer::endless(std::string piece, int pieces)
{
    HttpAnswer answer = ok(std::move(piece));
    answer.kind = Kind::Endless;
    answer.pieces = pieces;
    return answer;
}

HttpAnswer HttpAnswer::endlessChunk(std::string announcedSize, std::string piece, int pieces)
{
    HttpAnswer answer = endless(std::move(piece), pieces);
    answer.headerLines.push_back("Transfer-Encoding: chunked");
    answer.opening = std::move(announcedSize) + "\r\n";
    return answer;
}

namespace {

[[noreturn]] void fail(const char* what)
{
    throw std::runtime_error(std::string("loopback server: ") + what + ": " + std::strerror(errno));
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Binds a fresh socket to 127.0.0.1 at a port the system picks; returns the socket and its port.
std::pair<int, int> boundSocket()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) fail("socket");
    sockaddr_in address = loopback(0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        fail("bind");
    }
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        fail("getsockname");
    }
    return {fd, ntohs(address.sin_port)};
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool hasHeader(const std::vector<std::string>& lines, const std::string& name)
{
    const std::string prefix = lowerCase(name) + ":";
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return lowerCase(line).rfind(prefix, 0) == 0; });
}

// Splits the head of a request ("line CR LF line CR LF ... CR LF") into its lines.
std::vector<std::string> headLines(const std::string& head)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < head.size()) {
        std::size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        lines.push_back(head.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::size_t contentLength(const std::vector<std::string>& headerLines)
{
    for (const std::string& line : headerLines) {
        if (lowerCase(line).rfind("content-length:", 0) == 0) {
            return static_cast<std::size_t>(std::strtoull(line.c_str() + 15, nullptr, 10));
        }
    }
    return 0;
}

// False when the client went away; nothing more to say then.
bool sendAll(int fd, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

struct LoopbackHttpServer::Connection {
    enum class State { Reading, Held, Stalled, Done };
    int fd = -1;
    State state = State::Reading;
    std::string received;
    HttpAnswer held;
};

LoopbackHttpServer::LoopbackHttpServer()
{
    const auto [fd, port] = boundSocket();
    listener_ = fd;
    port_ = port;
    if (::listen(listener_, 16) != 0) {
        ::close(listener_);
        fail("listen");
    }
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(listener_);
        fail("pipe");
    }
    wakeRead_ = pipeEnds[0];
    wakeWrite_ = pipeEnds[1];
    thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
}

std::string LoopbackHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LoopbackHttpServer::answer(const std::string& path, HttpAnswer answer)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    answers_[path] = std::move(answer);
}

void LoopbackHttpServer::answerOthers(HttpAnswer answer)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    others_ = std::move(answer);
}

void LoopbackHttpServer::release()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        releasing_ = true;
    }
    wake();
}

std::vector<RecordedRequest> LoopbackHttpServer::requests() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<RecordedRequest> LoopbackHttpServer::requestsFor(const std::string& path) const
{
    std::vector<RecordedRequest> found;
    for (RecordedRequest& request : requests()) {
        if (request.path == path) found.push_back(std::move(request));
    }
    return found;
}

bool LoopbackHttpServer::waitForRequests(std::size_t count, std::chrono::milliseconds limit) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

int LoopbackHttpServer::closedPort()
{
    const auto [fd, port] = boundSocket();
    ::close(fd);
    return port;
}

void LoopbackHttpServer::wake()
{
    const char byte = 1;
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
}

void LoopbackHttpServer::serve()
{
    std::vector<std::unique_ptr<Connection>> connections;
    for (;;) {
        std::vector<pollfd> watched{{wakeRead_, POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const auto& connection : connections)
            watched.push_back({connection->fd, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }

        bool releasing = false;
        if (watched[0].revents != 0) {
            char drained[64];
            while (::read(wakeRead_, drained, sizeof drained) > 0) {
            }
            const std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_) break;
            releasing = releasing_;
        }
        if (releasing) {
            for (auto& connection : connections) {
                if (connection->state != Connection::State::Held) continue;
                respond(connection->fd, connection->held);
                connection->state = Connection::State::Done;
            }
        }

        for (std::size_t i = 2; i < watched.size(); ++i) {
            if (watched[i].revents != 0) readFrom(*connections[i - 2]);
        }

        if (watched[1].revents & POLLIN) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                auto connection = std::make_unique<Connection>();
                connection->fd = fd;
                connections.push_back(std::move(connection));
            }
        }

        for (auto& connection : connections) {
            if (connection->state == Connection::State::Done) ::close(connection->fd);
        }
        std::erase_if(connections, [](const auto& c) { return c->state == Connection::State::Done; });
    }
    for (const auto& connection : connections)
        ::close(connection->fd);
}

void LoopbackHttpServer::readFrom(Connection& connection)
{
    char chunk[4096];
    const ssize_t n = ::recv(connection.fd, chunk, sizeof chunk, 0);
    if (n < 0 && errno == EINTR) return;
    if (n <= 0) {
        // The client closed or dropped the connection, whatever it was waiting for.
        connection.state = Connection::State::Done;
        return;
    }
    if (connection.state != Connection::State::Reading) return; // one request a connection
    connection.received.append(chunk, static_cast<std::size_t>(n));

    const std::size_t headEnd = connection.received.find("\r\n\r\n");
    if (headEnd == std::string::npos) return;
    std::vector<std::string> lines = headLines(connection.received.substr(0, headEnd));
    if (lines.empty()) {
        connection.state = Connection::State::Done;
        return;
    }
    const std::size_t bodyStart = headEnd + 4;
    const std::vector<std::string> headerLines(lines.begin() + 1, lines.end());
    const std::size_t length = contentLength(headerLines);
    if (connection.received.size() < bodyStart + length) return;

    RecordedRequest request;
    request.raw = connection.received.substr(0, bodyStart + length);
    request.requestLine = lines.front();
    request.headerLines = headerLines;
    request.body = connection.received.substr(bodyStart, length);
    const std::size_t firstBlank = request.requestLine.find(' ');
    const std::size_t secondBlank = request.requestLine.find(' ', firstBlank + 1);
    request.method = request.requestLine.substr(0, firstBlank);
    if (firstBlank != std::string::npos) {
        request.target = request.requestLine.substr(firstBlank + 1, secondBlank - firstBlank - 1);
    }
    request.path = request.target.substr(0, request.target.find('?'));
    handle(connection, request);
}

void LoopbackHttpServer::handle(Connection& connection, const RecordedRequest& request)
{
    HttpAnswer answer;
    bool released = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = answers_.find(request.path);
        answer = it != answers_.end() ? it->second : others_;
        released = releasing_;
        requests_.push_back(request);
    }
    arrived_.notify_all();

    switch (answer.kind) {
    case HttpAnswer::Kind::Hold:
        if (!released) {
            connection.held = std::move(answer);
            connection.state = Connection::State::Held;
            return;
        }
        [[fallthrough]];
    case HttpAnswer::Kind::Respond:
    case HttpAnswer::Kind::Trickle:
    case HttpAnswer::Kind::Endless:
        respond(connection.fd, answer);
        connection.state = Connection::State::Done;
        return;
    case HttpAnswer::Kind::Stall:
        connection.state = Connection::State::Stalled;
        return;
    case HttpAnswer::Kind::Close:
        connection.state = Connection::State::Done;
        return;
    }
}

void LoopbackHttpServer::respond(int fd, const HttpAnswer& answer)
{
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " " + answer.reason + "\r\n";
    for (const std::string& line : answer.headerLines)
        response += line + "\r\n";
    if (answer.kind != HttpAnswer::Kind::Endless && !hasHeader(answer.headerLines, "Content-Length")) {
        response += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    }
    response += "Connection: close\r\n\r\n";
    if (answer.kind == HttpAnswer::Kind::Endless) {
        // The body ends only when the connection does.
        bool listening = sendAll(fd, response + answer.opening);
        for (int piece = 0; listening && piece < answer.pieces; ++piece) listening = sendAll(fd, answer.body);
    } else if (answer.kind != HttpAnswer::Kind::Trickle) {
        sendAll(fd, response + answer.body);
    } else {
        sendAll(fd, response);
        const std::size_t piece = answer.body.size() / static_cast<std::size_t>(answer.pieces) + 1;
        for (std::size_t at = 0; at < answer.body.size(); at += piece) {
            std::this_thread::sleep_for(answer.pause);
            if (!sendAll(fd, answer.body.substr(at, piece))) break;
        }
    }
    ::shutdown(fd, SHUT_WR);
}

} // namespace nimbrel::testing
