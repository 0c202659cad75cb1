#pragma once

#include "core/system/HttpTransfer.h"

#include <memory>

namespace nimbrel::program {

class NetworkModule;

// A transfer object, made by the network module at the first
// request. Before that there is nothing to cancel and no answer to show.
class OnDemandTransfer : public HttpTransfer {
public:
    // The module must outlive the transfer.
    explicit OnDemandTransfer(NetworkModule& module) : module_(module) {}

    void cancel() override;
    bool stillExecuting() override;
    std::string openUrlText(const std::string& url) override;
    std::vector<std::uint8_t> openUrlBytes(const std::string& url) override;
    bool openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink) override;
    std::string responseHeaders() override;

private:
    // The transfer, made now if it was not; null when the module cannot be loaded.
    HttpTransfer* made();

    NetworkModule& module_;
    std::unique_ptr<HttpTransfer> made_;
};

} // namespace nimbrel::program
