// ProcMeminfoStatus::read() against a bare open/read/close of /proc/meminfo in the same run; prints
// bare time / read() time (1.00 would mean the parsing and the cgroup cost nothing).

#include "platform/linux/ProcMeminfoStatus.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void BM_ProcMeminfoStatusRead(benchmark::State& state)
{
    nimbrel::ProcMeminfoStatus status;
    for (auto _ : state) {
        nimbrel::MemorySnapshot snapshot = status.read();
        benchmark::DoNotOptimize(snapshot);
    }
}

BENCHMARK(nimbrel::bench::BM_BareProcMeminfo);
BENCHMARK(BM_ProcMeminfoStatusRead);

} // namespace

int main(int argc, char** argv)
{
    return nimbrel::bench::runBenchmarks(argc, argv, [](nimbrel::bench::RatioReporter& reporter) {
        const double bare = reporter.median("nimbrel::bench::BM_BareProcMeminfo");
        const double read = reporter.median("BM_ProcMeminfoStatusRead");
        if (bare > 0 && read > 0)
            std::printf("bare open/read/close of /proc/meminfo / ProcMeminfoStatus::read() = %.2f\n", bare / read);
    });
}
