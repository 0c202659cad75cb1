#include "monitor/CpuSampler.h"
#include "platform/linux/OsReleaseVersion.h"
#include "platform/linux/ProcStatCounters.h"
#include "platform/linux/SmallFile.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace nimbrel {
namespace {

const std::string data = std::string(NIMBREL_TEST_DATA) + "/stat/";

TEST(ProcStatCounters, ARecordedTwoProcessorMachine)
{
    ProcStatCounters counters(data + "two_cpus.stat");
    CounterSample s;
    ASSERT_TRUE(counters.sample(s));
    EXPECT_EQ(s.processors, 2);
    EXPECT_EQ(s.idleTime, (16250 + 520) * 10'000'000ll / sysconf(_SC_CLK_TCK)) << "idle and iowait, in 100 ns";
    EXPECT_GT(s.systemTime, 0);
    EXPECT_EQ(counters.platformId(), 2u);
}

TEST(ProcStatCounters, MissingOrGarbledFilesGiveNoReading)
{
    CounterSample s;
    EXPECT_FALSE(ProcStatCounters(data + "no_cpu_line.stat").sample(s));
    EXPECT_FALSE(ProcStatCounters(data + "absent.stat").sample(s));
    EXPECT_FALSE(ProcStatCounters("/").sample(s));
}

TEST(ProcStatCounters, TheLiveCountersSeeOneBusyProcessor)
{
    ProcStatCounters counters;
    CounterSample s;
    ASSERT_TRUE(counters.sample(s));
    EXPECT_EQ(s.processors, static_cast<int>(sysconf(_SC_NPROCESSORS_CONF)));

    testing::RecordingReporter reporter;
    CpuSampler sampler(counters, nullptr, reporter);
    std::atomic<bool> stop{false};
    std::thread busy([&] {
        volatile std::uint64_t n = 0;
        while (!stop.load(std::memory_order_relaxed)) n = n + 1;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const std::int32_t usage = sampler.CurrentCPUUsage();
    stop = true;
    busy.join();
    // One processor of all of them kept busy; other work on the machine only adds.
    EXPECT_GE(usage, 100 / s.processors - 10);
    EXPECT_LE(usage, 101);
    EXPECT_TRUE(reporter.errors.empty());
}

TEST(KeptSmallFile, EachReadingIsTheTextAsTheKernelMakesItNow)
{
    KeptSmallFile uptime("/proc/uptime"); // moves in 10 ms steps
    char first[64];
    char second[64];
    const long firstLength = uptime.read(first, sizeof first);
    ASSERT_GT(firstLength, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const long secondLength = uptime.read(second, sizeof second);
    ASSERT_GT(secondLength, 0);
    EXPECT_NE(std::string(first, static_cast<std::size_t>(firstLength)),
              std::string(second, static_cast<std::size_t>(secondLength)));
    EXPECT_EQ(KeptSmallFile("/proc/no-such-file").read(first, sizeof first), -1);
}

TEST(OsReleaseVersion, TheSystemNamesItself)
{
    EXPECT_EQ(prettyName("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(prettyName("PRETTY_NAME=Plain\n"), "Plain");
    EXPECT_EQ(prettyName("PRETTY_NAME=\"Say \\\"hi\\\"\"\n"), "Say \"hi\"");
    EXPECT_EQ(prettyName("NAME=x\n"), "");

    const SystemIdentity live = OsReleaseVersion().identify();
    EXPECT_FALSE(live.osVersion.empty());
    EXPECT_EQ(live.osVersion.find('\n'), std::string::npos);
    EXPECT_TRUE(live.servicePack.empty());
    const SystemIdentity none = OsReleaseVersion("/nonexistent", "/nonexistent").identify();
    EXPECT_TRUE(none.osName.empty());
    EXPECT_TRUE(none.osVersion.empty());
}

} // namespace
} // namespace nimbrel
