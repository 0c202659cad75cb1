#include "platform/windows/SystemTimesCounters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace nimbrel {
namespace {

TEST(SystemTimesCounters, TheNtFamilyWithEveryProcessorCounted)
{
    SystemTimesCounters counters;
    CounterSample sample;
    ASSERT_TRUE(counters.sample(sample));
    EXPECT_EQ(counters.platformId(), 2u);
    EXPECT_EQ(sample.processors, static_cast<int>(std::thread::hardware_concurrency()));
}

// While one thread keeps a processor busy, the system time runs on at its pace and the idle time of all
// processors grows by no more than the other processors could have idled.
TEST(SystemTimesCounters, ABusyThreadLeavesOnlyTheOtherProcessorsIdle)
{
    SystemTimesCounters counters;
    CounterSample before, after;
    std::atomic<bool> stop{false};
    std::thread busy([&] {
        volatile std::uint64_t spin = 0;
        while (!stop) spin = spin + 1;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(counters.sample(before));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ASSERT_TRUE(counters.sample(after));
    stop = true;
    busy.join();

    const double elapsed = static_cast<double>(after.systemTime - before.systemTime);
    const double idle = static_cast<double>(after.idleTime - before.idleTime);
    EXPECT_GT(elapsed, 0.55 * 1e7); // 100-ns units
    EXPECT_LT(elapsed, 5.0 * 1e7);
    EXPECT_GE(idle, 0.0);
    // The kernel counts in ticks of 10 ms; allow a tenth of the time for them.
    EXPECT_LE(idle, (after.processors - 1 + 0.1) * elapsed);
}

} // namespace
} // namespace nimbrel
