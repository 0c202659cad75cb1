// One whole sampling tick (memory read, caption, both bars, both graphs redrawn; no screen copy) against one bare
// read of /proc/meminfo in the same run; prints tick time / bare read time.

#include "BenchSupport.h"
#include "core/base/ErrorReporter.h"
#include "core/controls/OptionGroupModel.h"
#include "core/system/PictureFiles.h"
#include "core/base/RuntimeError.h"
#include "core/controls/WindowModel.h"
#include "memory/AmountLists.h"
#include "monitor/CpuMeter.h"
#include "monitor/HistoryGraphs.h"
#include "monitor/MemoryGauges.h"
#include "platform/linux/ExecutableDirectory.h"
#include "platform/linux/IniProfileFile.h"
#include "platform/linux/ProcMeminfoStatus.h"
#include "platform/linux/ProcStatCounters.h"
#include "platform/linux/SystemClock.h"
#include "settings/Settings.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace nimbrel;

class NoReports : public ErrorReporter {
public:
    void reportError(const std::string&, int, const std::string&) override {}
};

// The tick never touches the bitmap files; only the start-up does.
class NoPictures : public PictureFiles {
public:
    bool exists(const std::string&) override { return true; }
    Picture load(const std::string&) override { return Picture(HistoryGraphs::samples, HistoryGraphs::plotHeight); }
    void save(const Picture&, const std::string&) override {}
};

class TemporaryDirectory : public ProgramDirectory {
public:
    TemporaryDirectory()
    {
        char name[] = "/tmp/nimbrel-bench-XXXXXX";
        dir_ = ::mkdtemp(name) != nullptr ? name : "/tmp";
    }
    bool portable() override { return true; }
    std::string settingsPath() override { return dir_; }
    std::string picturePath(const std::string& name) override { return dir_ + "/" + name; }
    std::string path() override { return dir_; }
    std::string startCommand() override { return dir_ + "/Nimbrel"; }

private:
    std::string dir_;
};

void BM_SamplingTick(benchmark::State& state)
{
    ProcMeminfoStatus memory;
    SystemClock clock;
    NoReports reporter;
    NoPictures pictures;
    TemporaryDirectory directory;
    IniProfileFile profile;
    ProcStatCounters counters;
    Settings settings(profile, directory, reporter);
    OptionGroupModel optCPU({"Slower", "Medium", "Faster"});
    WindowModel window("Nimbrel");
    AmountLists amounts(memory, reporter);
    HistoryGraphs graphs({pictures, directory, settings, clock, reporter});
    CpuMeter cpu({counters, nullptr, pictures, directory, settings, reporter}, optCPU);
    MemoryGauges gauges({memory, clock, reporter}, {window, amounts, graphs, cpu, {}});
    amounts.initMemory();
    graphs.initGraph();
    graphs.cmbUpdateGraph.setListIndex(0); // every tick passes the gate
    // A full history, so each tick redraws two curves of 364 segments.
    for (int i = 0; i < HistoryGraphs::samples; ++i)
        gauges.tmrMemory_Timer();
    for (auto _ : state)
        gauges.tmrMemory_Timer();
}

BENCHMARK(nimbrel::bench::BM_BareProcMeminfo);
BENCHMARK(BM_SamplingTick);

} // namespace

int main(int argc, char** argv)
{
    return nimbrel::bench::runBenchmarks(argc, argv, [](nimbrel::bench::RatioReporter& reporter) {
        const double bare = reporter.median("nimbrel::bench::BM_BareProcMeminfo");
        const double tick = reporter.median("BM_SamplingTick");
        if (bare > 0 && tick > 0) {
            std::printf("one sampling tick / bare read of /proc/meminfo = %.2f (tick %.1f us)\n", tick / bare,
                        tick * 1e6);
        }
    });
}
