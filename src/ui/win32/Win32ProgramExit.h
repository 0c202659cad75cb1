#pragma once

#include "core/ProgramExit.h"

#include <functional>

namespace nimbrel::win32 {

class Win32TimerScheduler;

// Ends the program at once: the timers stop for good and the process ends,
// with no further message of any window handled.
class Win32ProgramExit : public ProgramExit {
public:
    // end ends the process; tests pass their own.
    explicit Win32ProgramExit(Win32TimerScheduler& timers, std::function<void()> end = defaultEnd());

    void endNow() override;
    bool ended() const { return ended_; }

    static std::function<void()> defaultEnd();

private:
    Win32TimerScheduler& timers_;
    std::function<void()> end_;
    bool ended_ = false;
};

} // namespace nimbrel::win32
