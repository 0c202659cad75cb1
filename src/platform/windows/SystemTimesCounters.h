#pragma once

#include "core/system/SystemCounters.h"

namespace nimbrel {

// The processor counters from GetSystemTimes, which gives the same idle time of all processors together that
// the NT kernel's processor-performance counters add up to, without the undocumented call:
//   processors  the active processors of every group
//   idle time   GetSystemTimes' idle time, 100-ns units
//   system time the interrupt time without sleep (QueryUnbiasedInterruptTime), 100-ns units, read right after
//               it: it runs with the idle time and never jumps when the clock is set.
class SystemTimesCounters : public SystemCounters {
public:
    // Always 2: every Windows this builds for is of the NT family.
    std::uint32_t platformId() override;
    bool sample(CounterSample& out) override;
};

} // namespace nimbrel
