#pragma once

#include <compare>
#include <cstdint>

namespace nimbrel {

// Local wall-clock time in whole seconds since 1970-01-01 00:00:00 local time.
struct LocalTime {
    std::int64_t seconds = 0;
    friend bool operator==(LocalTime, LocalTime) = default;
    friend auto operator<=>(LocalTime, LocalTime) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time, to the second. The user, the time service or
    // the end of summer time may move it either way.
    virtual LocalTime now() = 0;
    // Whole seconds of a clock that only moves forward, for measuring how long ago something was.
    virtual std::int64_t steadySeconds() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual std::uint32_t tickCount() = 0;
};

} // namespace nimbrel
