#include "program/linux/OnDemandTransfer.h"

#include "program/linux/NetworkModule.h"

namespace nimbrel::program {

HttpTransfer* OnDemandTransfer::made()
{
    if (!made_) made_ = module_.makeTransfer();
    return made_.get();
}

void OnDemandTransfer::cancel()
{
    if (made_) made_->cancel();
}

bool OnDemandTransfer::stillExecuting() { return made_ && made_->stillExecuting(); }

std::string OnDemandTransfer::openUrlText(const std::string& url)
{
    HttpTransfer* transfer = made();
    return transfer != nullptr ? transfer->openUrlText(url) : std::string();
}

std::vector<std::uint8_t> OnDemandTransfer::openUrlBytes(const std::string& url)
{
    HttpTransfer* transfer = made();
    return transfer != nullptr ? transfer->openUrlBytes(url) : std::vector<std::uint8_t>();
}

bool OnDemandTransfer::openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink)
{
    HttpTransfer* transfer = made();
    return transfer != nullptr && transfer->openUrlInto(url, limits, sink);
}

std::string OnDemandTransfer::responseHeaders() { return made_ ? made_->responseHeaders() : std::string(); }

} // namespace nimbrel::program
