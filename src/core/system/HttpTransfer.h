#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// What a bounded transfer may take: bytes of the body, and time from its start to its end.
struct TransferLimits {
    std::uint64_t maxBytes;
    std::chrono::milliseconds overall;
};

// Takes a piece of a body as it arrives; false stops the transfer.
using BodySink = std::function<bool(const std::uint8_t* bytes, std::size_t size)>;

// An HTTP transfer object of the window (the error reports have one, the update another): one GET at a time, made
// synchronously for the caller while the window's events go on.
class HttpTransfer {
public:
    virtual ~HttpTransfer() = default;
    // Cancels the transfer in progress, if any.
    virtual void cancel() = 0;
    // True while a transfer is still executing.
    virtual bool stillExecuting() = 0;
    // Fetches the address with GET and returns the body as text; empty on any failure.
    virtual std::string openUrlText(const std::string& url) = 0;
    // Fetches the address with GET and returns the body as bytes; empty on any failure.
    virtual std::vector<std::uint8_t> openUrlBytes(const std::string& url) = 0;
    // Fetches the address with GET and hands the body to the sink piece by piece as it arrives; true when a
    // successful answer came whole. It stops, false, at a cancel, when the sink refuses a piece, when the length
    // announced or received passes maxBytes, or when the overall time has passed.
    virtual bool openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink) = 0;
    // The header lines of the last response, separated by CR LF.
    virtual std::string responseHeaders() = 0;
};

} // namespace nimbrel
