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
// same answer, at once, after a while or a piece at a time, and keeps the request lines it was sent.
class WinsockHttpServer {
public:
    struct Answer {
        std::string statusLine = "HTTP/1.1 200 OK";
        std::vector<std::string> headers;
        std::string body;
        std::chrono::milliseconds delay{0}; // before anything is sent
        int pieces = 1;                     // the body sent in this many pieces...
        std::chrono::milliseconds pause{0}; // ...with a pause before each but the first
    };

    explicit WinsockHttpServer(Answer answer);
    ~WinsockHttpServer();
    WinsockHttpServer(const WinsockHttpServer&) = delete;
    WinsockHttpServer& operator=(const WinsockHttpServer&) = delete;

    // "http://127.0.0.1:<port>" followed by path.
    std::string url(const std::string& path) const;
    // The request lines received so far ("GET /nbl.txt HTTP/1.1").
    std::vector<std::string> requestLines();
    // The answers begun (their delay over) and those sent to their end, so far.
    int answersBegun() const { return answersBegun_; }
    int answersSent() const { return answersSent_; }

private:
    void serve();
    // Waits for that long, or less when the server is stopping; false then.
    bool pause(std::chrono::milliseconds length);
    void answer(SOCKET client);

    Answer answer_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> answersBegun_{0};
    std::atomic<int> answersSent_{0};
    std::mutex lock_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

} // namespace nimbrel::testing
