// ProcMeminfoStatus::read() against a bare open/read/close of /proc/meminfo in the same run; prints
// bare time / read() time (1.00 would mean the parsing and the cgroup cost nothing).

#include "platform/linux/ProcMeminfoStatus.h"

#include "RatioReporter.h"

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

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    nimbrel::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double bare = reporter.median("BM_BareProcMeminfo");
    const double read = reporter.median("BM_ProcMeminfoStatusRead");
    if (bare > 0 && read > 0)
        std::printf("bare open/read/close of /proc/meminfo / ProcMeminfoStatus::read() = %.2f\n", bare / read);
    benchmark::Shutdown();
    return 0;
}
