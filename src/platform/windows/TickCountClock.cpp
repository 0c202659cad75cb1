#include "TickCountClock.h"

#include <windows.h>

namespace nimbrel {

namespace {

// From 1601-01-01 (where file times count from) to 1970-01-01, in seconds.
constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;

} // namespace

LocalTime TickCountClock::now()
{
    SYSTEMTIME local{};
    GetLocalTime(&local);
    // Seconds of the local wall clock, as if the local time were UTC.
    FILETIME asFileTime{};
    SystemTimeToFileTime(&local, &asFileTime);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(asFileTime.dwHighDateTime) << 32) | asFileTime.dwLowDateTime;
    return LocalTime{static_cast<std::int64_t>(ticks / 10000000) - kSecondsFrom1601To1970};
}

std::int64_t TickCountClock::steadySeconds()
{
    return static_cast<std::int64_t>(GetTickCount64() / 1000);
}

std::uint32_t TickCountClock::tickCount()
{
    return GetTickCount();
}

} // namespace nimbrel
