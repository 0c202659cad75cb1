#pragma once

#include "SmallFile.h"
#include "core/system/SystemCounters.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// The processor counters from /proc/stat: the number of cpuN lines, the
// idle and iowait time of the "cpu" line, and the monotonic clock.
class ProcStatCounters : public SystemCounters {
public:
    explicit ProcStatCounters(std::string statPath = "/proc/stat");

    std::uint32_t platformId() override { return 2; }
    bool sample(CounterSample& out) override;

private:
    KeptSmallFile stat_;
    long ticksPerSecond_;
    std::vector<char> buffer_;
};

// Parses the text of /proc/stat; false when it holds no "cpu" line.
bool parseProcStat(std::string_view text, int& processors, std::uint64_t& idleTicks);

} // namespace nimbrel
