#pragma once

#include "core/base/Signal.h"

#include <cstdint>
#include <functional>

namespace nimbrel {

// A timer of the window. While enabled with a non-zero interval it ticks
// every interval; enabling it or changing its interval starts the count
// afresh. Whatever drives it (the toolkit, or a virtual scheduler in tests)
// follows `changed` and calls fire() when it is due.
class TimerModel {
public:
    explicit TimerModel(std::uint32_t intervalMs = 1000) : interval_(intervalMs) {}

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled)
    {
        if (enabled == enabled_) return;
        enabled_ = enabled;
        changed.emit();
    }
    std::uint32_t interval() const { return interval_; }
    void setInterval(std::uint32_t intervalMs)
    {
        if (intervalMs == interval_) return;
        interval_ = intervalMs;
        changed.emit();
    }
    bool running() const { return enabled_ && interval_ > 0; }

    // One tick, as the driver delivers it.
    void fire() const
    {
        if (running() && onTimer) onTimer();
    }

    std::function<void()> onTimer;
    Signal<> changed;

private:
    bool enabled_ = false;
    std::uint32_t interval_;
};

} // namespace nimbrel
