#pragma once

#include "core/system/HttpTransfer.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace nimbrel {

class WinHttpRequest;

// The window's one shared transfer object on WinHTTP: each GET is made synchronously, https where the address
// says so, through the system's proxy, and no step of it waits longer than the time-out. A call made while
// another runs (from another thread, or from a message handled while it waits) takes its place; cancel() ends the
// one running. Called on the thread of the windows, it hands their messages on with whileWaiting as it waits.
class WinHttpTransfer : public HttpTransfer {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{5000};

    explicit WinHttpTransfer(std::chrono::milliseconds timeout = defaultTimeout,
                             std::function<void()> whileWaiting = {});
    ~WinHttpTransfer() override;
    WinHttpTransfer(const WinHttpTransfer&) = delete;
    WinHttpTransfer& operator=(const WinHttpTransfer&) = delete;

    void cancel() override;
    bool stillExecuting() override;
    std::string openUrlText(const std::string& url) override;
    std::vector<std::uint8_t> openUrlBytes(const std::string& url) override;
    bool openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink) override;
    std::string responseHeaders() override;

    // What openUrlText and openUrlBytes may take: no answer the program reads is larger or slower.
    static constexpr TransferLimits plainLimits{16 * 1024 * 1024, std::chrono::minutes(2)};

private:
    // The body of a successful answer (status 2xx); empty on any failure.
    std::vector<std::uint8_t> fetch(const std::string& url);

    std::chrono::milliseconds timeout_;
    std::function<void()> whileWaiting_;
    std::mutex lock_;
    std::shared_ptr<WinHttpRequest> current_;
    std::string headers_;
};

} // namespace nimbrel
