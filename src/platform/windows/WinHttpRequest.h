#pragma once

#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

// One GET through WinHTTP, made synchronously: a session that uses the system's proxy settings, a connection
// and a request, each closed when this goes. Every step waits no longer than the time-out given.
class WinHttpRequest {
public:
    WinHttpRequest(const std::string& url, std::chrono::milliseconds timeout, bool followRedirects);
    ~WinHttpRequest();
    WinHttpRequest(const WinHttpRequest&) = delete;
    WinHttpRequest& operator=(const WinHttpRequest&) = delete;

    // Sends the request and waits for the answer's headers; false when none came.
    bool send();
    // The answer's status code, 0 before one came.
    DWORD status() const;
    // The status line and header lines of the answer, separated by CR LF.
    std::string headers() const;
    // The body of the answer; false when it broke off.
    bool readBody(std::vector<std::uint8_t>& body);
    // Ends the request from another thread: send() and readBody() fail at once.
    void abort();

private:
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    std::atomic<HINTERNET> request_{nullptr};
};

} // namespace nimbrel
