#pragma once

#include "core/system/HttpTransfer.h"

#include <QByteArray>
#include <QPointer>

#include <chrono>

class QSslSocket;

namespace nimbrel::program {

// A transfer object on Qt's sockets (the error reports have one, the update another): an HTTP/1.1 GET over
// TCP, or TLS for https, read by HttpAnswerReader. The connection's read buffer is bounded, so the server is
// held back by the network itself while this thread works, and no piece waits anywhere unread: whatever a
// server sends or announces, a transfer holds no more than one buffer of it. (QtNetwork's own client reads a
// chunked body ahead without bound.) A call waits in an event loop of its own, so the window stays alive
// meanwhile; whatever runs during that wait may cancel the transfer or start another one, which cancels the
// one in progress first. Redirections are not followed: the vendor's files are served where they are named.
class QtHttpTransfer : public HttpTransfer {
public:
    // No transfer holds its caller longer than this, whether the server is
    // unreachable, silent or slow.
    static constexpr std::chrono::milliseconds defaultTimeout{5000};
    // What openUrlText and openUrlBytes may take: no answer the program reads is larger or slower.
    static constexpr TransferLimits plainLimits{16 * 1024 * 1024, std::chrono::minutes(2)};
    // The most of an answer held between the network and the caller at once.
    static constexpr qint64 readBufferBytes = 64 * 1024;

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

    std::chrono::milliseconds timeout_;
    QPointer<QSslSocket> current_;
    unsigned calls_ = 0; // calls started so far, so an earlier call left on the stack knows it was not the last
    std::string headers_;
};

} // namespace nimbrel::program
