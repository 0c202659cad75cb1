#pragma once

#include "core/HttpTransfer.h"

#include <QByteArray>
#include <QPointer>

#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace nimbrel::view {

// The window's one shared transfer object on QtNetwork. A call waits in an
// event loop of its own, so the window stays alive meanwhile; whatever runs
// during that wait may cancel the transfer or start another one, which
// cancels the one in progress first.
class QtHttpTransfer : public HttpTransfer {
public:
    // No transfer holds its caller longer than this, whether the server is
    // unreachable, silent or slow.
    static constexpr std::chrono::milliseconds defaultTimeout{5000};
    // What openUrlText and openUrlBytes may take: no answer the program reads is larger or slower.
    static constexpr TransferLimits plainLimits{16 * 1024 * 1024, std::chrono::minutes(2)};

    explicit QtHttpTransfer(std::chrono::milliseconds timeout = defaultTimeout);
    ~QtHttpTransfer() override;
    QtHttpTransfer(const QtHttpTransfer&) = delete;
    QtHttpTransfer& operator=(const QtHttpTransfer&) = delete;

    void cancel() override;
    bool stillExecuting() override;
    std::string openUrlText(const std::string& url) override;
    std::vector<std::uint8_t> openUrlBytes(const std::string& url) override;
    bool openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink) override;
    std::string responseHeaders() override;

private:
    // The body of a successful answer; empty on any failure.
    QByteArray fetch(const std::string& url);
    void keepHeaders(QNetworkReply& reply);

    std::chrono::milliseconds timeout_;
    std::unique_ptr<QNetworkAccessManager> manager_;
    QPointer<QNetworkReply> current_;
    unsigned calls_ = 0; // calls started so far, so an earlier call left on the stack knows it was not the last
    std::string headers_;
};

} // namespace nimbrel::view
