#include "program/linux/SingleInstanceGuard.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace nimbrel::program {

namespace {
const std::string request = "show\n";
const std::string reply = "ok\n";

std::chrono::milliseconds remainingOf(const QDeadlineTimer& deadline)
{
    return std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0));
}
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
    : directory_(std::move(directory)), patience_(patience), lock_(lockPath().toStdString())
{
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    letGo();
}

void SingleInstanceGuard::letGo()
{
    // The socket file goes before the lock: removed after the next copy listened, it would take that copy's
    // file away.
    if (listener_.valid()) {
        ::unlink(socketPath().toLocal8Bit().constData());
        delete listenerNotifier_;
        listenerNotifier_ = nullptr;
        listener_ = LocalSocket();
    }
    lock_.release();
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
        const FileLock::Outcome outcome = lock_.tryLock();
        if (outcome == FileLock::Outcome::Taken) {
            listen();
            return Claim::First;
        }
        if (outcome == FileLock::Outcome::Failed) {
            // No lock can be made here at all; better one copy too many than none.
            std::fprintf(stderr, "nimbrel: cannot lock %s; running without the single-instance guard\n",
                         qPrintable(lockPath()));
            return Claim::First;
        }
        switch (askRunningCopy()) {
        case Asked::Answered: return Claim::RunningCopyAnswered;
        case Asked::Silent: return Claim::RunningCopySilent;
        case Asked::NotListening: break;
        }
        // The holder is starting and not listening yet, or is just ending.
        if (deadline.hasExpired()) return Claim::RunningCopySilent;
        QThread::msleep(50);
    }
}

SingleInstanceGuard::Asked SingleInstanceGuard::askRunningCopy()
{
    LocalSocket socket = LocalSocket::connectTo(socketPath().toStdString());
    if (!socket.valid()) return Asked::NotListening;

    const QDeadlineTimer deadline(patience_.toAnswer);
    if (!socket.send(request, remainingOf(deadline))) return Asked::Silent;
    std::string received;
    while (received.find('\n') == std::string::npos) {
        if (deadline.hasExpired() || !socket.receive(received, remainingOf(deadline))) return Asked::Silent;
    }
    return received.substr(0, received.find('\n') + 1) == reply ? Asked::Answered : Asked::Silent;
}

void SingleInstanceGuard::listen()
{
    // Holding the lock, any socket file here is a leftover of a copy that crashed: listening replaces it.
    listener_ = LocalSocket::listenAt(socketPath().toStdString());
    if (!listener_.valid()) {
        std::fprintf(stderr, "nimbrel: cannot listen on %s: %s\n", qPrintable(socketPath()), std::strerror(errno));
        return;
    }
    listenerNotifier_ = new QSocketNotifier(listener_.descriptor(), QSocketNotifier::Read, this);
    connect(listenerNotifier_, &QSocketNotifier::activated, this, [this] { serve(); });
}

void SingleInstanceGuard::serve()
{
    for (LocalSocket socket = listener_.accept(); socket.valid(); socket = listener_.accept()) {
        auto caller = std::make_unique<Caller>();
        caller->socket = std::move(socket);
        caller->notifier = new QSocketNotifier(caller->socket.descriptor(), QSocketNotifier::Read, this);
        Caller* const raw = caller.get();
        connect(caller->notifier, &QSocketNotifier::activated, this, [this, raw] { answer(*raw); });
        callers_.push_back(std::move(caller));
        answer(*raw);
    }
}

void SingleInstanceGuard::answer(Caller& caller)
{
    const bool open = caller.socket.receive(caller.received, std::chrono::milliseconds(0));
    for (auto end = caller.received.find('\n'); end != std::string::npos; end = caller.received.find('\n')) {
        const std::string line = caller.received.substr(0, end + 1);
        caller.received.erase(0, end + 1);
        if (line != request) continue;
        if (onActivationRequest) onActivationRequest();
        caller.socket.send(reply, std::chrono::milliseconds(1000));
    }
    if (!open) hangUp(caller);
}

void SingleInstanceGuard::hangUp(Caller& caller)
{
    // The notifier may be the one calling: it goes once its signal is over.
    caller.notifier->setEnabled(false);
    caller.notifier->deleteLater();
    std::erase_if(callers_, [&caller](const std::unique_ptr<Caller>& c) { return c.get() == &caller; });
}

} // namespace nimbrel::program
