#pragma once

#include "core/Clock.h"

namespace nimbrel {

// The system's local time (with its time zone and summer time) and a
// millisecond tick count from the monotonic clock.
class SystemClock : public Clock {
public:
    LocalTime now() override;
    std::uint32_t tickCount() override;
};

} // namespace nimbrel
