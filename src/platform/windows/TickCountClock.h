#pragma once

#include "core/Clock.h"

namespace nimbrel {

// The local time from GetLocalTime and the millisecond count from GetTickCount.
class TickCountClock : public Clock {
public:
    LocalTime now() override;
    std::uint32_t tickCount() override;
};

} // namespace nimbrel
