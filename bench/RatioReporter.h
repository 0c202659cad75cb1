#pragma once

#include <benchmark/benchmark.h>

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

} // namespace nimbrel::bench
