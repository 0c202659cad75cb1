// ProcMeminfoStatus::read() against a bare open/read/close of /proc/meminfo in the same run; prints
// bare time / read() time (1.00 would mean the parsing and the cgroup cost nothing).

#include "platform/linux/ProcMeminfoStatus.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

void BM_BareProcMeminfo(benchmark::State& state)
{
    char text[8192];
    for (auto _ : state) {
        const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
        const ssize_t got = ::read(fd, text, sizeof text);
        ::close(fd);
        benchmark::DoNotOptimize(got);
        benchmark::DoNotOptimize(text);
    }
}

void BM_ProcMeminfoStatusRead(benchmark::State& state)
{
    nimbrel::ProcMeminfoStatus status;
    for (auto _ : state) {
        nimbrel::MemorySnapshot snapshot = status.read();
        benchmark::DoNotOptimize(snapshot);
    }
}

BENCHMARK(BM_BareProcMeminfo);
BENCHMARK(BM_ProcMeminfoStatusRead);

// Keeps the seconds per iteration of every plain run, repetitions included, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds_[run.benchmark_name()].push_back(run.real_accumulated_time / static_cast<double>(run.iterations));
    }

    // The median over the repetitions of one benchmark; 0 when it did not run.
    double median(const std::string& name)
    {
        auto found = seconds_.find(name);
        if (found == seconds_.end()) return 0;
        std::vector<double>& times = found->second;
        std::sort(times.begin(), times.end());
        const std::size_t n = times.size();
        return n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    }

private:
    std::map<std::string, std::vector<double>> seconds_;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double bare = reporter.median("BM_BareProcMeminfo");
    const double read = reporter.median("BM_ProcMeminfoStatusRead");
    if (bare > 0 && read > 0)
        std::printf("bare open/read/close of /proc/meminfo / ProcMeminfoStatus::read() = %.2f\n", bare / read);
    benchmark::Shutdown();
    return 0;
}
