#include "WinHttpTransfer.h"

#include "WinHttpRequest.h"

namespace nimbrel {

WinHttpTransfer::WinHttpTransfer(std::chrono::milliseconds timeout, std::function<void()> whileWaiting)
    : timeout_(timeout), whileWaiting_(std::move(whileWaiting))
{
}

WinHttpTransfer::~WinHttpTransfer()
{
    cancel();
}

void WinHttpTransfer::cancel()
{
    std::shared_ptr<WinHttpRequest> running;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        running.swap(current_);
    }
    if (running) running->abort();
}

bool WinHttpTransfer::stillExecuting()
{
    const std::lock_guard<std::mutex> guard(lock_);
    return current_ != nullptr;
}

std::string WinHttpTransfer::openUrlText(const std::string& url)
{
    const std::vector<std::uint8_t> body = fetch(url);
    return std::string(body.begin(), body.end());
}

std::vector<std::uint8_t> WinHttpTransfer::openUrlBytes(const std::string& url)
{
    return fetch(url);
}

std::string WinHttpTransfer::responseHeaders()
{
    const std::lock_guard<std::mutex> guard(lock_);
    return headers_;
}

std::vector<std::uint8_t> WinHttpTransfer::fetch(const std::string& url)
{
    std::vector<std::uint8_t> body;
    const bool whole = openUrlInto(url, plainLimits, [&body](const std::uint8_t* bytes, std::size_t size) {
        body.insert(body.end(), bytes, bytes + size);
        return true;
    });
    if (!whole) body.clear();
    return body;
}

bool WinHttpTransfer::openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink)
{
    // One transfer at a time: this call takes the place of any other.
    cancel();
    const auto request = std::make_shared<WinHttpRequest>(url, timeout_, true, whileWaiting_);
    {
        const std::lock_guard<std::mutex> guard(lock_);
        headers_.clear();
        current_ = request;
    }

    // No step waits longer than the time-out, and between steps the whole is held to its overall time and size.
    const auto deadline = std::chrono::steady_clock::now() + limits.overall;
    std::uint64_t received = 0;
    const bool answered = request->send();
    const DWORD status = answered ? request->status() : 0;
    const bool complete = answered && status >= 200 && status < 300 &&
                          request->readBody([&](const std::uint8_t* bytes, std::size_t size) {
                              received += size;
                              return received <= limits.maxBytes && std::chrono::steady_clock::now() < deadline &&
                                     sink(bytes, size);
                          });

    const std::lock_guard<std::mutex> guard(lock_);
    // A cancelled call leaves no headers behind; nor does a call another one took over from.
    if (current_ != request) return false;
    current_.reset();
    if (answered) headers_ = request->headers();
    return complete;
}

} // namespace nimbrel
