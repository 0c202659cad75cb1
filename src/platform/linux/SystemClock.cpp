#include "SystemClock.h"

#include <ctime>

namespace nimbrel {

LocalTime SystemClock::now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    // Seconds of the local wall clock, as if the local time were UTC.
    return LocalTime{static_cast<std::int64_t>(timegm(&local))};
}

std::int64_t SystemClock::steadySeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec);
}

std::uint32_t SystemClock::tickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

} // namespace nimbrel
