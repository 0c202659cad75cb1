#pragma once

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// One GET through WinHTTP: a session that uses the system's proxy settings, a connection and a request, each
// closed when this goes. The calls are made asynchronously and waited for one step at a time (connect and send,
// the answer's headers, each piece of the body), so that abort() from another thread ends the wait at once; no
// step waits longer than the time-out given. A thread that runs windows hands its messages on while it waits
// (whileWaiting), so that its windows stay live and a click on Cancel reaches abort().
class WinHttpRequest {
public:
    WinHttpRequest(const std::string& url, std::chrono::milliseconds timeout, bool followRedirects,
                   std::function<void()> whileWaiting = {});
    ~WinHttpRequest();
    WinHttpRequest(const WinHttpRequest&) = delete;
    WinHttpRequest& operator=(const WinHttpRequest&) = delete;

    // Sends the request and waits for the answer's headers; false when none came.
    bool send();
    // The answer's status code, 0 before one came.
    DWORD status() const;
    // The status line and header lines of the answer, separated by CR LF.
    std::string headers() const;
    // Hands the body of the answer to the sink piece by piece; false when it broke off or the sink refused a piece.
    bool readBody(const std::function<bool(const std::uint8_t* bytes, std::size_t size)>& sink);
    // Ends the request from another thread: the step send() or readBody() waits on fails at once, and so does
    // every later one.
    void abort();

private:
    struct Exchange;
    static void CALLBACK onStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID information,
                                  DWORD length);
    // Waits for the end of the step just started (false when the call to start it failed); true when it went well.
    bool awaitStep(BOOL started);

    DWORD timeout_;
    std::function<void()> whileWaiting_;
    HINTERNET session_ = nullptr;
    HINTERNET connection_ = nullptr;
    HINTERNET request_ = nullptr;
    HANDLE aborted_;
    Exchange* exchange_ = nullptr;
};

} // namespace nimbrel
