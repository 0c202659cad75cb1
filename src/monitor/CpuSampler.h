#pragma once

#include <cstdint>

namespace nimbrel {

class DynamicData;
class ErrorReporter;
class SystemCounters;

// Measures the processor load: from the kernel's idle and system-time
// counters where they exist, otherwise from the statistics the 95/98/Me
// family publishes. Each reading covers the time since the previous one.
class CpuSampler {
public:
    // dynamicData may be null where the system has no such statistics.
    CpuSampler(SystemCounters& counters, DynamicData* dynamicData, ErrorReporter& reporter);
    CpuSampler(const CpuSampler&) = delete;
    CpuSampler& operator=(const CpuSampler&) = delete;

    // The load in percent since the previous reading; not clamped.
    std::int32_t CurrentCPUUsage();
    // Stops the published statistic again (95/98/Me); nothing to do with kernel counters.
    void Class_Terminate();

    bool isNTPlatform() const { return isNTPlatform_; }

    static constexpr const char* statDataKey = "PerfStats\\StatData";
    static constexpr const char* startStatKey = "PerfStats\\StartStat";
    static constexpr const char* stopStatKey = "PerfStats\\StopStat";
    static constexpr const char* usageValue = "KERNEL\\CPUUsage";

private:
    void Class_Initialize();
    std::int32_t ntUsage();
    std::int32_t statUsage();

    SystemCounters& counters_;
    DynamicData* dynamicData_;
    ErrorReporter& reporter_;
    bool isNTPlatform_ = false;
    bool statOpen_ = false;
    std::int64_t prevIdleTime_ = 0;
    std::int64_t prevSystemTime_ = 0;
    std::uint32_t statValue_ = 0;
};

// A 64-bit counter read as a fixed-point number with four decimals (counter / 10,000), bit for bit.
std::int64_t LI2Currency(std::int64_t counter);

} // namespace nimbrel
