#include "platform/windows/TickCountClock.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <ctime>

namespace nimbrel {
namespace {

// The C runtime's own idea of the local time, counted the same way (as if it were UTC).
std::int64_t runtimeLocalSeconds()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &t);
    return static_cast<std::int64_t>(_mkgmtime(&local));
}

TEST(TickCountClock, TheLocalTimeIsTheOneTheRuntimeKnows)
{
    TickCountClock clock;
    EXPECT_NEAR(static_cast<double>(clock.now().seconds), static_cast<double>(runtimeLocalSeconds()), 2.0);
}

TEST(TickCountClock, TheTickCountCountsMilliseconds)
{
    TickCountClock clock;
    const std::uint32_t before = clock.tickCount();
    const std::int64_t steadyBefore = clock.steadySeconds();
    Sleep(1100);
    const std::uint32_t elapsed = clock.tickCount() - before;
    EXPECT_GE(elapsed, 1080u);
    EXPECT_LT(elapsed, 4000u);
    const std::int64_t steadyElapsed = clock.steadySeconds() - steadyBefore;
    EXPECT_GE(steadyElapsed, 1);
    EXPECT_LE(steadyElapsed, 4);
}

} // namespace
} // namespace nimbrel
