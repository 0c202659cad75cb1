#pragma once

#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nimbrel::testing {

// A small HTTP server on 127.0.0.1 for the transfer tests, on Winsock: it answers every request with the
// same answer, or holds it unanswered for a while, and keeps the request lines it was sent.
class WinsockHttpServer {
public:
    struct Answer {
        std::string statusLine = "HTTP/1.1 200 OK";
        std::vector<std::string> headers;
        std::string body;
        std::chrono::milliseconds delay{0}; // before anything is sent
    };

    explicit WinsockHttpServer(Answer answer);
    ~WinsockHttpServer();
    WinsockHttpServer(const WinsockHttpServer&) = delete;
    WinsockHttpServer& operator=(const WinsockHttpServer&) = delete;

    // "http://127.0.0.1:<port>" followed by path.
    std::string url(const std::string& path) const;
    // The request lines received so far ("GET /nbl.txt HTTP/1.1").
    std::vector<std::string> requestLines();

private:
    void serve();

    Answer answer_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex lock_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace nimbrel::testing
