// Reading a Launcher.mbl of 50 MB made by hand (610,000 entries), and one of 50 MB of lines without "|", as the
// start reads them: the file's first bytes into the list's lines, the list model filled. Against one bare
// open/read/close of the whole file in the same run; prints the ratios bare read time / each.

#include "BenchSupport.h"
#include "core/controls/ListModel.h"
#include "launcher/ProgramEntry.h"
#include "platform/linux/DiskTextFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace nimbrel;

constexpr std::size_t kFileBytes = 50u << 20;

// The two lists in a folder of their own.
class LargeLists {
public:
    LargeLists()
    {
        char name[] = "/tmp/nimbrel-bench-XXXXXX";
        if (::mkdtemp(name) == nullptr) std::abort();
        folder_ = name;
        std::string entries;
        for (int i = 0; entries.size() < kFileBytes; ++i) {
            entries += makeEntry("Program " + std::to_string(i), "/opt/p/" + std::to_string(i)) + "\r\n";
        }
        std::ofstream(entriesPath(), std::ios::binary) << entries;
        std::string bad;
        while (bad.size() < kFileBytes) bad += "this line names no program at all\r\n";
        std::ofstream(badPath(), std::ios::binary) << bad;
    }
    ~LargeLists() { std::filesystem::remove_all(folder_); }

    std::string entriesPath() const { return folder_ + "/Launcher.mbl"; }
    std::string badPath() const { return folder_ + "/bad.mbl"; }

private:
    std::string folder_;
};

const LargeLists& lists()
{
    static const LargeLists files;
    return files;
}

void BM_BareReadOfTheFile(benchmark::State& state)
{
    std::string text(kFileBytes + (1u << 20), '\0');
    for (auto _ : state) {
        const int fd = ::open(lists().entriesPath().c_str(), O_RDONLY | O_CLOEXEC);
        std::size_t got = 0;
        for (ssize_t n; (n = ::read(fd, text.data() + got, text.size() - got)) > 0;) got += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(got);
    }
}

void loadList(benchmark::State& state, const std::string& path)
{
    DiskTextFile files;
    for (auto _ : state) {
        ListModel list;
        const auto bytes = files.read(path, maxListBytes + 1);
        for (const std::string& line : listLines(*bytes).lines) list.addItem(line);
        benchmark::DoNotOptimize(list.count());
    }
}

void BM_LoadOfTheList(benchmark::State& state) { loadList(state, lists().entriesPath()); }
void BM_LoadOfTheListOfBadLines(benchmark::State& state) { loadList(state, lists().badPath()); }

BENCHMARK(BM_BareReadOfTheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOfTheList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOfTheListOfBadLines)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    lists();
    return nimbrel::bench::runBenchmarks(argc, argv, [](nimbrel::bench::RatioReporter& reporter) {
        const double bare = reporter.median("BM_BareReadOfTheFile");
        const double list = reporter.median("BM_LoadOfTheList");
        const double bad = reporter.median("BM_LoadOfTheListOfBadLines");
        if (bare > 0 && list > 0) std::printf("bare read of a 50 MB Launcher.mbl / its load = %.1f\n", bare / list);
        if (bare > 0 && bad > 0)
            std::printf("bare read of a 50 MB Launcher.mbl / the load of 50 MB of bad lines = %.1f\n", bare / bad);
    });
}
