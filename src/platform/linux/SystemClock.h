#pragma once

#include "core/system/Clock.h"

namespace nimbrel {

// The system's local time (with its time zone and summer time), the seconds
// since boot (time spent suspended included, as on the wall clock) and a
// millisecond tick count from the monotonic clock.
class SystemClock : public Clock {
public:
    LocalTime now() override;
    std::int64_t steadySeconds() override;
    std::uint32_t tickCount() override;
};

} // namespace nimbrel
