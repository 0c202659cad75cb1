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
    QByteArray body;
    const bool whole = openUrlInto(url, plainLimits, [&body](const std::uint8_t* bytes, std::size_t size) {
        body.append(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
        return true;
    });
    return whole ? body : QByteArray();
}

bool QtHttpTransfer::openUrlInto(const std::string& url, const TransferLimits& limits, const BodySink& sink)
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

    // Stopped here: by a limit, or by the sink. A cancel from outside is not a refusal.
    bool refused = false;
    std::uint64_t received = 0;
    const auto refuse = [&refused, reply] {
        refused = true;
        if (reply) reply->abort();
    };
    // The body goes to the sink as it arrives; only a successful answer's body counts as one.
    const auto takePieces = [&] {
        if (!reply || refused) return;
        const QByteArray piece = reply->readAll();
        if (piece.isEmpty()) return;
        received += static_cast<std::uint64_t>(piece.size());
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool success = status >= 200 && status < 300;
        if (received > limits.maxBytes ||
            (success && !sink(reinterpret_cast<const std::uint8_t*>(piece.constData()), static_cast<std::size_t>(piece.size()))))
            refuse();
    };

    QEventLoop wait;
    QObject::connect(reply, &QNetworkReply::finished, &wait, [this, reply, &wait] {
        // Finished is finished, even while a call made during the wait still
        // holds this one on the stack.
        if (current_ == reply) current_.clear();
        wait.quit();
    });
    // A length announced beyond the limit is refused before its body comes.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &wait, [&] {
        const QVariant length = reply ? reply->header(QNetworkRequest::ContentLengthHeader) : QVariant();
        if (length.isValid() && length.toULongLong() > limits.maxBytes) refuse();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, &wait, takePieces);
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
    // However it flows, the whole transfer ends within its overall time: a server that trickles is cut off.
    QTimer overall;
    overall.setSingleShot(true);
    QObject::connect(&overall, &QTimer::timeout, &wait, refuse);
    overall.start(limits.overall);
    if (!reply->isFinished()) wait.exec(QEventLoop::AllEvents);
    deadline.stop();
    overall.stop();

    // A call made during the wait may have taken the transfer over; only
    // this call's own reply is forgotten here, and only the latest call's
    // answer leaves its headers.
    if (current_ == reply) current_.clear();
    if (!reply) return false;
    QObject::disconnect(reply, nullptr, &wait, nullptr);
    takePieces();

    if (call == calls_ && (refused || reply->error() != QNetworkReply::OperationCanceledError)) keepHeaders(*reply);
    const bool whole = !refused && reply->error() == QNetworkReply::NoError;
    reply->deleteLater();
    return whole;
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
