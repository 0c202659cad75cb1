#include "ui/qt/SingleInstanceGuard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace nimbrel::view {

namespace {
const QByteArray request = "show\n";
const QByteArray answer = "ok\n";
} // namespace

QString SingleInstanceGuard::runtimeDirectory()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty()) return xdg;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) return runtime;
    return QDir::tempPath() + QStringLiteral("/nimbrel-") + QString::number(::getuid());
}

SingleInstanceGuard::SingleInstanceGuard(QString directory) : SingleInstanceGuard(std::move(directory), Patience{}) {}

SingleInstanceGuard::SingleInstanceGuard(QString directory, Patience patience)
    : directory_(std::move(directory)), patience_(patience), lock_(lockPath())
{
    // The running copy holds the lock for hours: only a dead holder makes it stale, never its age.
    lock_.setStaleLockTime(0);
    // In a shared temp directory only this user may connect.
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] { serve(); });
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    letGo();
}

void SingleInstanceGuard::letGo()
{
    // The socket file goes with the server; closed after the next copy listened,
    // it would take that copy's file away.
    server_.close();
    if (lock_.isLocked()) lock_.unlock();
}

SingleInstanceGuard::Claim SingleInstanceGuard::claim()
{
    if (!QDir(directory_).exists()) {
        if (!QDir().mkpath(directory_)) {
            std::fprintf(stderr, "nimbrel: cannot create %s; running without the single-instance guard\n",
                         qPrintable(directory_));
            return Claim::First;
        }
        // A folder of our own making, in a temp directory perhaps: only this user may look in.
        QFile::setPermissions(directory_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    const QDeadlineTimer deadline(patience_.toFind);
    for (;;) {
        // tryLock removes a lock left by a process that no longer runs.
        if (lock_.tryLock(0)) {
            listen();
            return Claim::First;
        }
        if (lock_.error() != QLockFile::LockFailedError) {
            // No lock can be made here at all; better one copy too many than none.
            std::fprintf(stderr, "nimbrel: cannot lock %s; running without the single-instance guard\n",
                         qPrintable(lockPath()));
            return Claim::First;
        }
        const auto remaining = std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0));
        switch (askRunningCopy(std::min(remaining, std::chrono::milliseconds(1000)))) {
        case Asked::Answered: return Claim::RunningCopyAnswered;
        case Asked::Silent: return Claim::RunningCopySilent;
        case Asked::NotListening: break;
        }
        // The holder is starting and not listening yet, or is just ending.
        if (deadline.hasExpired()) return Claim::RunningCopySilent;
        QThread::msleep(50);
    }
}

SingleInstanceGuard::Asked SingleInstanceGuard::askRunningCopy(std::chrono::milliseconds connectWait)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(static_cast<int>(connectWait.count()))) return Asked::NotListening;

    socket.write(request);
    const QDeadlineTimer deadline(patience_.toAnswer);
    if (!socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)))) {
        return Asked::Silent;
    }
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || socket.state() != QLocalSocket::ConnectedState) return Asked::Silent;
        socket.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
    }
    return socket.readLine() == answer ? Asked::Answered : Asked::Silent;
}

void SingleInstanceGuard::listen()
{
    // Holding the lock, any socket file here is a leftover of a copy that crashed.
    QLocalServer::removeServer(socketPath());
    if (!server_.listen(socketPath())) {
        std::fprintf(stderr, "nimbrel: cannot listen on %s: %s\n", qPrintable(socketPath()),
                     qPrintable(server_.errorString()));
    }
}

void SingleInstanceGuard::serve()
{
    while (QLocalSocket* client = server_.nextPendingConnection()) {
        const auto answerRequests = [this, client] {
            while (client->canReadLine()) {
                if (client->readLine() != request) continue;
                if (onActivationRequest) onActivationRequest();
                client->write(answer);
                client->flush();
            }
        };
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, answerRequests);
        answerRequests();
    }
}

} // namespace nimbrel::view
