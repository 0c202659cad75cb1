// Reading settings.ini of 50 MB: the keys sit at its end, after 50 MB of other sections. One read of a key by a
// profile that has read the file before, and the start-up's reads of every key by a fresh profile, against one
// bare open/read/close of the whole file in the same run; prints the ratios bare read time / each, and how many
// times faster the start-up's reads are than reading and parsing the whole file for every key.
//
// A file is trusted to be unchanged only once its last change is a few seconds old, so the bench waits that long
// after writing it: at a start, settings.ini was last written long before.

#include "BenchSupport.h"
#include "platform/common/IniText.h"
#include "platform/common/ProfileCache.h"
#include "platform/linux/IniProfileFile.h"
#include "settings/SettingsKeys.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using namespace nimbrel;

constexpr SettingKey kEveryKey[] = {
    keys::memoryGraphInterval, keys::ramRelease,       keys::autoMinimum,        keys::autoRelease,
    keys::autoInterval,        keys::autoCpuCheck,     keys::autoCpuPercent,     keys::autoActive,
    keys::timeRelease,         keys::timeInterval,     keys::timeIntervalAmount, keys::timeCpuCheck,
    keys::timeCpuPercent,      keys::timeActive,       keys::startupDisplay,     keys::startupAutoLaunch,
    keys::startupQuit,         keys::startupLowLevel,  keys::startupRelease,     keys::startupWait,
    keys::startupRetry,        keys::startupCpuUpdate, keys::startupTrayGauge,   keys::launcherRetry,
    keys::launcherFreeup};

// settings.ini in a folder of its own: 50 MB of sections of other programs' keys, then one of each of ours.
class LargeSettings {
public:
    LargeSettings()
    {
        char name[] = "/tmp/nimbrel-bench-XXXXXX";
        if (::mkdtemp(name) == nullptr) std::abort();
        folder_ = name;
        path_ = folder_ + "/settings.ini";
        std::ofstream out(path_, std::ios::binary);
        std::string text;
        for (int i = 0; text.size() < 50u << 20; ++i) {
            text += "[Other" + std::to_string(i) + "]\r\nSomeKey=some value of some length\r\n";
        }
        for (const SettingKey& k : kEveryKey)
            text += std::string("[") + k.section + "]\r\n" + k.key + "=1\r\n";
        out << text;
        out.close();
        std::this_thread::sleep_for(std::chrono::nanoseconds(ini::ProfileCache::kSettledNanoseconds) +
                                    std::chrono::milliseconds(500));
    }
    ~LargeSettings() { std::filesystem::remove_all(folder_); }

    const std::string& path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};

const LargeSettings& settings()
{
    static const LargeSettings file;
    return file;
}

// One open/read/close of the whole file into a buffer that holds it; gives the bytes read.
std::size_t bareRead(std::string& text)
{
    const int fd = ::open(settings().path().c_str(), O_RDONLY | O_CLOEXEC);
    text.resize(60u << 20);
    std::size_t got = 0;
    for (ssize_t n; (n = ::read(fd, text.data() + got, text.size() - got)) > 0;)
        got += static_cast<std::size_t>(n);
    ::close(fd);
    return got;
}

void BM_BareReadOfTheFile(benchmark::State& state)
{
    std::string text;
    for (auto _ : state)
        benchmark::DoNotOptimize(bareRead(text));
}

// What the start-up's reads cost when each one reads and parses the whole file again.
void BM_StartUpReadsParsingTheFileEachTime(benchmark::State& state)
{
    std::string text;
    for (auto _ : state) {
        for (const SettingKey& k : kEveryKey) {
            const std::size_t size = bareRead(text);
            std::string value =
                ini::readValue(std::string_view(text).substr(0, size), k.section, k.key, k.defaultValue);
            benchmark::DoNotOptimize(value);
        }
    }
}

void BM_ReadOfAKeyReadBefore(benchmark::State& state)
{
    IniProfileFile profile;
    profile.readString(settings().path(), "Launcher", "Freeup", "1");
    for (auto _ : state) {
        std::string value = profile.readString(settings().path(), "Launcher", "Freeup", "1");
        benchmark::DoNotOptimize(value);
    }
}

void BM_StartUpReadsByAFreshProfile(benchmark::State& state)
{
    for (auto _ : state) {
        IniProfileFile profile;
        for (const SettingKey& k : kEveryKey) {
            std::string value = profile.readString(settings().path(), k.section, k.key, k.defaultValue);
            benchmark::DoNotOptimize(value);
        }
    }
}

BENCHMARK(BM_BareReadOfTheFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadOfAKeyReadBefore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StartUpReadsByAFreshProfile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpReadsParsingTheFileEachTime)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    settings();
    return nimbrel::bench::runBenchmarks(argc, argv, [](nimbrel::bench::RatioReporter& reporter) {
        const double bare = reporter.median("BM_BareReadOfTheFile");
        const double key = reporter.median("BM_ReadOfAKeyReadBefore");
        const double start = reporter.median("BM_StartUpReadsByAFreshProfile");
        const double parsing = reporter.median("BM_StartUpReadsParsingTheFileEachTime");
        if (bare > 0 && key > 0)
            std::printf("bare read of 50 MB settings.ini / read of a key read before = %.0f\n", bare / key);
        if (bare > 0 && start > 0)
            std::printf("bare read of 50 MB settings.ini / the start-up's %zu reads = %.2f\n", std::size(kEveryKey),
                        bare / start);
        if (start > 0 && parsing > 0)
            std::printf("the start-up's reads parsing the file each time / by a fresh profile = %.1f\n",
                        parsing / start);
    });
}
