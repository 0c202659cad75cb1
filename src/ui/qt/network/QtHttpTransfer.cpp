#include "ui/qt/network/QtHttpTransfer.h"

#include "ui/qt/network/ProgramRequest.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace nimbrel::view {

QtHttpTransfer::QtHttpTransfer(std::chrono::milliseconds timeout)
    : timeout_(timeout)
{
}

// The manager owns the replies, so none outlives the transfer object.
QtHttpTransfer::~QtHttpTransfer() = default;

void QtHttpTransfer::cancel()
{
    // Forget the reply before aborting it: the abort finishes it at once, and
    // whoever waits for stillExecuting() to turn false must see it turn.
    QPointer<QNetworkReply> reply = current_;
    current_.clear();
    if (reply) reply->abort();
}

bool QtHttpTransfer::stillExecuting()
{
    return !current_.isNull();
}

std::string QtHttpTransfer::openUrlText(const std::string& url)
{
    return fetch(url).toStdString();
}

std::vector<std::uint8_t> QtHttpTransfer::openUrlBytes(const std::string& url)
{
    const QByteArray body = fetch(url);
    return std::vector<std::uint8_t>(body.begin(), body.end());
}

std::string QtHttpTransfer::responseHeaders()
{
    return headers_;
}

QByteArray QtHttpTransfer::fetch(const std::string& url)
{
    // One transfer at a time: a call made while another waits takes its place.
    cancel();
    headers_.clear();

    // The address comes already encoded (the error reports encode their query).
    // Made at the first request: most runs never send one.
    if (!manager_) manager_ = std::make_unique<QNetworkAccessManager>();
    QPointer<QNetworkReply> reply =
        manager_->get(programRequest(QUrl::fromEncoded(QByteArray::fromStdString(url)), timeout_));
    current_ = reply;
    const unsigned call = ++calls_;

    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, [this, reply, &wait] {
        // Finished is finished, even while a call made during the wait still
        // holds this one on the stack.
        if (current_ == reply) current_.clear();
        wait.quit();
    });
    // The transfer timeout counts only silence once connected; this one also
    // bounds connecting, and starts again with each piece that arrives, so a
    // large download on a slow line is not cut off while it flows.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &wait, [reply] {
        if (reply) reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, &deadline, [&deadline, this] { deadline.start(timeout_); });
    deadline.start(timeout_);
    if (!reply->isFinished()) wait.exec(QEventLoop::AllEvents);
    deadline.stop();

    // A call made during the wait may have taken the transfer over; only
    // this call's own reply is forgotten here, and only the latest call's
    // answer leaves its headers.
    if (current_ == reply) current_.clear();
    if (!reply) return {};
    QObject::disconnect(reply, nullptr, &wait, nullptr);

    QByteArray body;
    if (call == calls_ && reply->error() != QNetworkReply::OperationCanceledError) keepHeaders(*reply);
    if (reply->error() == QNetworkReply::NoError) body = reply->readAll();
    reply->deleteLater();
    return body;
}

void QtHttpTransfer::keepHeaders(QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) return; // no HTTP answer came back
    const bool http2 = reply.attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();
    std::string text = http2 ? "HTTP/2 " : "HTTP/1.1 ";
    text += std::to_string(status.toInt());
    const QByteArray reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    if (!reason.isEmpty()) text += " " + reason.toStdString();
    for (const QNetworkReply::RawHeaderPair& header : reply.rawHeaderPairs()) {
        text += "\r\n" + header.first.toStdString() + ": " + header.second.toStdString();
    }
    headers_ = std::move(text);
}

} // namespace nimbrel::view
