#include "SystemTimesCounters.h"

#include <windows.h>

namespace nimbrel {

std::uint32_t SystemTimesCounters::platformId()
{
    return VER_PLATFORM_WIN32_NT;
}

bool SystemTimesCounters::sample(CounterSample& out)
{
    FILETIME idle{}, kernel{}, user{};
    ULONGLONG now = 0;
    if (!GetSystemTimes(&idle, &kernel, &user) || !QueryUnbiasedInterruptTime(&now)) return false;
    const DWORD processors = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    if (processors == 0) return false;
    out.processors = static_cast<int>(processors);
    out.idleTime = static_cast<std::int64_t>((static_cast<std::uint64_t>(idle.dwHighDateTime) << 32) | idle.dwLowDateTime);
    out.systemTime = static_cast<std::int64_t>(now);
    return true;
}

} // namespace nimbrel
