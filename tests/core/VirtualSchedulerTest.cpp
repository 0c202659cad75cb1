#include "core/controls/TimerModel.h"
#include "support/VirtualScheduler.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using testing::VirtualScheduler;

TEST(VirtualScheduler, TicksAtTheIntervalWhileEnabled)
{
    VirtualScheduler scheduler;
    TimerModel timer(1000);
    std::vector<std::uint64_t> ticks;
    timer.onTimer = [&] { ticks.push_back(scheduler.elapsedMs()); };
    scheduler.attach(timer);
    scheduler.advance(5000);
    EXPECT_TRUE(ticks.empty()) << "a disabled timer never ticks";
    timer.setEnabled(true);
    scheduler.advance(3500);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{6000, 7000, 8000}));
}

TEST(VirtualScheduler, ChangingTheIntervalRestartsTheCount)
{
    VirtualScheduler scheduler;
    TimerModel timer(1000);
    std::vector<std::uint64_t> ticks;
    timer.onTimer = [&] {
        ticks.push_back(scheduler.elapsedMs());
        timer.setInterval(250'000);
    };
    scheduler.attach(timer);
    timer.setEnabled(true);
    scheduler.advance(600'000);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{1000, 251'000, 501'000}));
    EXPECT_EQ(scheduler.now().seconds - VirtualScheduler().now().seconds, 600);
}

} // namespace
} // namespace nimbrel
