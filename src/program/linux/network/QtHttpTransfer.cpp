#include "program/linux/network/QtHttpTransfer.h"

#include "program/linux/network/HttpAnswerReader.h"

#include <QEventLoop>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace nimbrel::program {

namespace {

// "GET /path?query HTTP/1.1" with the host, the program as agent, the body as it is, and the connection
// closed after the answer.
QByteArray requestFor(const QUrl& url)
{
    QByteArray target = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty()) target = "/";
    QByteArray host = QUrl::toAce(url.host());
    if (url.host().contains(u':')) host = "[" + url.host().toLatin1() + "]";
    if (url.port() != -1) host += ":" + QByteArray::number(url.port());
    return "GET " + target + " HTTP/1.1\r\nHost: " + host +
           "\r\nUser-Agent: Nimbrel\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
}

} // namespace

QtHttpTransfer::QtHttpTransfer(std::chrono::milliseconds timeout) : timeout_(timeout) {}

QtHttpTransfer::~QtHttpTransfer()
{
    if (current_) current_->abort();
}

void QtHttpTransfer::cancel()
{
    // Forget the connection before aborting it: whoever waits for stillExecuting() to turn false must see it turn.
    QPointer<QSslSocket> socket = current_;
    current_.clear();
    if (socket) socket->abort();
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
    const unsigned call = ++calls_;

    // The address comes already encoded (the error reports encode their query).
    const QUrl address = QUrl::fromEncoded(QByteArray::fromStdString(url));
    const bool secure = address.scheme() == QLatin1String("https");
    if ((!secure && address.scheme() != QLatin1String("http")) || address.host().isEmpty()) return false;

    // Made here, gone once the call is over: deleted later, as its signals may still be on the way out.
    QPointer<QSslSocket> socket = new QSslSocket();
    const std::unique_ptr<QSslSocket, void (*)(QSslSocket*)> owner(socket, [](QSslSocket* s) { s->deleteLater(); });
    socket->setReadBufferSize(readBufferBytes);
    current_ = socket;

    // Stopped here: by a limit, or by the sink. A cancel from outside is not a refusal.
    bool refused = false;
    std::uint64_t received = 0;
    const HttpAnswerReader* reading = nullptr;
    HttpAnswerReader answer([&](const char* bytes, std::size_t size) {
        received += size;
        // Only a successful answer's body counts as one.
        const bool success = reading->status() >= 200 && reading->status() <= 299;
        if (received > limits.maxBytes || (success && !sink(reinterpret_cast<const std::uint8_t*>(bytes), size)))
            refused = true;
        return !refused;
    });
    reading = &answer;

    QEventLoop wait;
    QTimer deadline;
    // Cut off here (a limit, a time-out, the answer read): the connection's end says nothing more.
    bool cut = false;
    const auto stop = [&wait, &cut, socket] {
        cut = true;
        if (socket) socket->abort();
        wait.quit();
    };
    const auto takePieces = [&] {
        char piece[16 * 1024];
        while (socket && !refused && !answer.complete() && !answer.failed() && socket->bytesAvailable() > 0) {
            const qint64 size = socket->read(piece, sizeof piece);
            if (size <= 0) break;
            deadline.start(timeout_);
            const bool wasRead = answer.headRead();
            answer.feed(piece, static_cast<std::size_t>(size));
            // A length announced beyond the limit is refused before its body comes.
            if (!wasRead && answer.headRead() && answer.announcedLength() && *answer.announcedLength() > limits.maxBytes)
                refused = true;
        }
        if (refused || answer.complete() || answer.failed()) stop();
    };
    QObject::connect(socket, &QSslSocket::readyRead, &wait, takePieces);
    // The server ends the connection: what it sent before is read first.
    QObject::connect(socket, &QSslSocket::disconnected, &wait, [&] {
        if (cut) return;
        takePieces();
        answer.connectionEnded();
        wait.quit();
    });
    QObject::connect(socket, &QSslSocket::errorOccurred, &wait, [&](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) return; // disconnected() follows
        wait.quit();
    });
    QObject::connect(socket, &QSslSocket::stateChanged, &wait, [&wait](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState) wait.quit();
    });
    // The silence time-out bounds connecting, and starts again with each piece that arrives, so a large
    // download on a slow line is not cut off while it flows.
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &wait, stop);
    deadline.start(timeout_);
    // However it flows, the whole transfer ends within its overall time: a server that trickles is cut off.
    QTimer overall;
    overall.setSingleShot(true);
    QObject::connect(&overall, &QTimer::timeout, &wait, [&] {
        refused = true;
        stop();
    });
    overall.start(limits.overall);

    // The request goes once the connection (and its encryption) is up.
    const QByteArray request = requestFor(address);
    const auto send = [socket, &request] { socket->write(request); };
    if (secure) {
        QObject::connect(socket, &QSslSocket::encrypted, &wait, send);
    } else {
        QObject::connect(socket, &QSslSocket::connected, &wait, send);
    }
    const quint16 port = static_cast<quint16>(address.port(secure ? 443 : 80));
    if (secure) {
        socket->connectToHostEncrypted(address.host(), port);
    } else {
        socket->connectToHost(address.host(), port);
    }
    if (socket->state() != QAbstractSocket::UnconnectedState) wait.exec(QEventLoop::AllEvents);
    deadline.stop();
    overall.stop();
    // What came before the connection ended is read, unless the call was stopped.
    if (socket && current_ == socket && !cut && !answer.complete() && !answer.failed()) {
        takePieces();
        if (socket->state() == QAbstractSocket::UnconnectedState) answer.connectionEnded();
    }

    // A call made during the wait may have taken the transfer over; only this call's own connection is
    // forgotten here, and only the latest call's answer leaves its headers.
    const bool taken = current_ != socket;
    if (!taken) current_.clear();
    if (socket) {
        QObject::disconnect(socket, nullptr, &wait, nullptr);
        socket->abort();
    }
    if (call == calls_ && (refused || !taken) && answer.headRead()) headers_ = answer.head();
    return !taken && !refused && answer.complete() && answer.status() >= 200 && answer.status() <= 299;
}

} // namespace nimbrel::program
