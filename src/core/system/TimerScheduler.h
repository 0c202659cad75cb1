#pragma once

namespace nimbrel {

class TimerModel;

// Drives timer models: ticks each one while it runs, at its interval.
class TimerScheduler {
public:
    virtual ~TimerScheduler() = default;
    // Starts following the timer; it must outlive the scheduler's use of it.
    virtual void attach(TimerModel& timer) = 0;
};

} // namespace nimbrel
