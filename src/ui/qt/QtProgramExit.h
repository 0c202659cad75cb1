#pragma once

#include "core/system/ProgramExit.h"

#include <QObject>

#include <functional>

namespace nimbrel::view {

class QtTimerScheduler;

// Ends the program at once: the timers stop for good, every later input,
// timer, close or queued event of the program is swallowed, and the event
// loop is told to return, so main() returns without running another handler.
class QtProgramExit : public QObject, public ProgramExit {
    Q_OBJECT
public:
    // quit leaves the event loop; tests pass their own.
    explicit QtProgramExit(QtTimerScheduler& timers, std::function<void()> quit = defaultQuit());

    void endNow() override;
    bool ended() const { return ended_; }

    static std::function<void()> defaultQuit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtTimerScheduler& timers_;
    std::function<void()> quit_;
    bool ended_ = false;
};

} // namespace nimbrel::view
