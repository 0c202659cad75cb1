#pragma once

#include "platform/linux/FileLock.h"
#include "platform/linux/LocalSocket.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace nimbrel::program {

// One running copy per user. The running copy holds a lock file for its whole
// life and listens on a local socket beside it; a later copy that cannot take
// the lock connects to the socket and asks the running copy to bring its main
// window forward, then ends.
//
// The lock decides, the socket only carries the request: of two copies
// started together exactly one gets the lock. The system lets go of the lock
// when its holder ends, a crash included; a socket file left behind is
// removed by whoever holds the lock.
class SingleInstanceGuard : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,              // this copy runs; requests from later copies arrive on onActivationRequest
        RunningCopyAnswered, // another copy runs and has come forward: end this one
        RunningCopySilent,  // another copy holds the lock but did not answer in time: end this one too
    };

    struct Patience {
        std::chrono::milliseconds toFind{5000};   // for the lock holder to start listening
        std::chrono::milliseconds toAnswer{3000}; // for its answer once connected
    };

    explicit SingleInstanceGuard(QString directory = runtimeDirectory());
    SingleInstanceGuard(QString directory, Patience patience);
    ~SingleInstanceGuard() override;

    // Takes the single instance or asks the running copy to come forward.
    // Blocks for at most the two patiences together.
    Claim claim();

    // Stops answering and releases the lock, so that a copy started next takes it.
    void letGo();

    // What the running copy does when a later copy asks for it.
    std::function<void()> onActivationRequest;

    // $XDG_RUNTIME_DIR, or Qt's runtime location, or a per-user folder in the temp directory.
    static QString runtimeDirectory();
    QString lockPath() const { return directory_ + QStringLiteral("/Nimbrel.lock"); }
    QString socketPath() const { return directory_ + QStringLiteral("/Nimbrel.socket"); }

private:
    enum class Asked { NotListening, Answered, Silent };
    // A later copy connected to the running one, and what it has sent so far.
    struct Caller {
        LocalSocket socket;
        QSocketNotifier* notifier = nullptr;
        std::string received;
    };

    Asked askRunningCopy();
    void listen();
    void serve();
    void answer(Caller& caller);
    void hangUp(Caller& caller);

    QString directory_;
    Patience patience_;
    FileLock lock_;
    LocalSocket listener_;
    QSocketNotifier* listenerNotifier_ = nullptr;
    std::vector<std::unique_ptr<Caller>> callers_;
};

} // namespace nimbrel::program
