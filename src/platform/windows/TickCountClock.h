#pragma once

#include "core/system/Clock.h"

namespace nimbrel {

// The local time from GetLocalTime, the millisecond count from GetTickCount and the steady seconds from
// GetTickCount64, which counts the time the machine slept too.
class TickCountClock : public Clock {
public:
    LocalTime now() override;
    std::int64_t steadySeconds() override;
    std::uint32_t tickCount() override;
};

} // namespace nimbrel
