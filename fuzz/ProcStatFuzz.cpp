// /proc/stat as any kernel or container may show it, read by the processor meter twice: the text itself, and
// two readings of the sampler, the first text then the second.

#include "FuzzFolder.h"
#include "monitor/CpuSampler.h"
#include "platform/linux/ProcStatCounters.h"
#include "support/Fakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    FuzzedDataProvider input(data, size);
    const std::string first = input.ConsumeRandomLengthString(4096);
    const std::string second = input.ConsumeRemainingBytesAsString();

    int processors = 0;
    std::uint64_t idleTicks = 0;
    if (parseProcStat(first, processors, idleTicks) && processors < 0) std::abort();

    const std::string stat = folder.write("stat", first);
    ProcStatCounters counters(stat);
    testing::RecordingReporter reporter;
    CpuSampler sampler(counters, nullptr, reporter);
    folder.write("stat", second);
    sampler.CurrentCPUUsage();
    // Only an overflow of the classic arithmetic may be reported, never anything else.
    for (const auto& error : reporter.errors) {
        if (error.number != 6 && error.number != 11) std::abort();
    }
    return 0;
}
