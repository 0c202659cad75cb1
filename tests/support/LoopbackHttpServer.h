#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nimbrel::testing {

// One request as it came off the wire.
struct RecordedRequest {
    std::string raw;                      // request line, header lines, blank line and body, unchanged
    std::string requestLine;              // "GET /path?query HTTP/1.1"
    std::string method;                   // "GET"
    std::string target;                   // "/path?query"
    std::string path;                     // "/path"
    std::vector<std::string> headerLines; // "Name: value", in the order sent
    std::string body;
};

// What the server does with a request for a path.
struct HttpAnswer {
    enum class Kind {
        Respond, // answers at once with the status, header lines and body below
        Hold,    // answers only when the test calls release()
        Stall,   // never answers; the connection stays open until the client gives up
        Close,   // reads the request and closes the connection without a word
        Trickle, // answers with the body in pieces, a pause before each (the server waits meanwhile)
        Endless, // answers without a length and sends the body again and again, pieces times at most, until the
                 // client goes away (the server waits meanwhile)
    };
    Kind kind = Kind::Respond;
    int status = 200;
    std::string reason = "OK";
    std::vector<std::string> headerLines; // "Name: value"; Content-Length and Connection are added
    std::string body;
    int pieces = 1;
    std::chrono::milliseconds pause{0};
    std::string opening; // Endless: sent once after the header lines, before the first piece

    static HttpAnswer ok(std::string body, std::vector<std::string> headerLines = {});
    static HttpAnswer withStatus(int status, std::string reason, std::string body = {});
    static HttpAnswer held(std::string body);
    static HttpAnswer stall();
    static HttpAnswer close();
    static HttpAnswer trickle(std::string body, int pieces, std::chrono::milliseconds pause);
    static HttpAnswer endless(std::string piece, int pieces);
    // A chunked body whose one chunk announces the size given (hexadecimal, as "7FFFFFFFFFFFFFFF") and then
    // comes as the piece again and again, pieces times at most, until the client goes away.
    static HttpAnswer endlessChunk(std::string announcedSize, std::string piece, int pieces);
};

// A small HTTP/1.1 server on 127.0.0.1 at a port of the system's choosing,
// served by one thread of its own. Every request is recorded before it is
// answered; every answer ends its connection. Destroying the server stops the
// thread and drops whatever connections are still open.
class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string url(const std::string& path = "") const;

    // The answer for a path (the target up to "?"); other paths get the default, 200 with an empty body.
    void answer(const std::string& path, HttpAnswer answer);
    void answerOthers(HttpAnswer answer);
    // Sends their answers to the requests held so far.
    void release();

    std::vector<RecordedRequest> requests() const;
    std::vector<RecordedRequest> requestsFor(const std::string& path) const;
    // Waits until at least this many requests have come in; false when the limit passed first.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(20)) const;

    // A port of 127.0.0.1 on which nothing listens: bound once by the system's choice, then closed.
    static int closedPort();

private:
    struct Connection;
    void serve();
    void readFrom(Connection& connection);
    void handle(Connection& connection, const RecordedRequest& request);
    static void respond(int fd, const HttpAnswer& answer);
    void wake();

    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    int port_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::map<std::string, HttpAnswer> answers_;
    HttpAnswer others_;
    std::vector<RecordedRequest> requests_;
    bool releasing_ = false;
    bool stopping_ = false;

    std::thread thread_;
};

} // namespace nimbrel::testing
