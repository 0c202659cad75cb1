#pragma once

#include <cstdint>

namespace nimbrel {

// One reading of the kernel's processor counters.
struct CounterSample {
    int processors = 0;
    std::int64_t idleTime = 0;   // idle time of all processors together, 100-ns units
    std::int64_t systemTime = 0; // the system clock, 100-ns units, read right after the idle time
};

class SystemCounters {
public:
    virtual ~SystemCounters() = default;
    // The version record's platform id: 2 where the kernel counters exist, 1 for the 95/98/Me family.
    virtual std::uint32_t platformId() = 0;
    // Reads the counters; false when the system would not give them.
    virtual bool sample(CounterSample& out) = 0;
};

} // namespace nimbrel
