#pragma once

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <functional>

#include <algorithm>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace nimbrel::bench {

// Keeps the seconds per iteration of every plain run, repetitions included, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds_[run.benchmark_name()].push_back(run.real_accumulated_time /
                                                         static_cast<double>(run.iterations));
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

// The limit most measurements are held against: one bare open/read/close of /proc/meminfo.
inline void BM_BareProcMeminfo(benchmark::State& state)
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

// Runs the registered benchmarks, then lets the caller print its ratios from the medians.
inline int runBenchmarks(int argc, char** argv, const std::function<void(RatioReporter&)>& printRatios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace nimbrel::bench
