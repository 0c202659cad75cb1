#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

// The window's one shared HTTP transfer object: one GET at a time, made
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
    // The header lines of the last response, separated by CR LF.
    virtual std::string responseHeaders() = 0;
};

} // namespace nimbrel
