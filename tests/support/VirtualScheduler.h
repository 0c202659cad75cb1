#pragma once

#include "core/system/Clock.h"
#include "core/system/TimerScheduler.h"

#include <cstdint>
#include <vector>

namespace nimbrel::testing {

// A clock that moves only when the test says so, and a scheduler that ticks
// timer models on it. advance() delivers every due tick in time order, so
// minutes of behaviour take microseconds.
class VirtualScheduler : public Clock, public TimerScheduler {
public:
    explicit VirtualScheduler(LocalTime start = LocalTime{1'700'000'000}) : startSeconds_(start.seconds) {}

    LocalTime now() override
    {
        return LocalTime{startSeconds_ + wallShiftSeconds_ + static_cast<std::int64_t>(nowMs_ / 1000)};
    }
    std::int64_t steadySeconds() override { return static_cast<std::int64_t>(nowMs_ / 1000); }
    std::uint32_t tickCount() override { return static_cast<std::uint32_t>(nowMs_ + tickOffsetMs_); }
    void attach(TimerModel& timer) override;

    // Moves time forward, firing each timer tick that falls due on the way.
    void advance(std::uint64_t ms);
    // Moves forward to the next due tick and fires it; false when none is due ever.
    bool runNextTick();
    // Virtual milliseconds since the scheduler was made.
    std::uint64_t elapsedMs() const { return nowMs_; }
    // Sets the wall clock forward or back, as the user or the end of summer
    // time does; the steady clock and the timers go on as they were.
    void setWallClockBy(std::int64_t seconds) { wallShiftSeconds_ += seconds; }
    // Lets the tick count start near its wrap, to test code that compares ticks.
    void setTickOffset(std::uint64_t ms) { tickOffsetMs_ = ms; }

private:
    struct Entry {
        TimerModel* timer;
        bool armed = false;
        std::uint64_t dueMs = 0;
        std::uint64_t order = 0; // ties fire in the order they were armed
    };
    void rearm(Entry& entry);
    Entry* nextDue();

    std::vector<Entry> entries_;
    std::uint64_t nowMs_ = 0;
    std::uint64_t tickOffsetMs_ = 0;
    std::uint64_t armCounter_ = 0;
    std::int64_t startSeconds_;
    std::int64_t wallShiftSeconds_ = 0;
};

} // namespace nimbrel::testing
