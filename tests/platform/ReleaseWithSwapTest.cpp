// The release engine with the real memory figures and the real guarded block, in a memory cgroup with swap:
// what the outcome says was freed is what the cgroup's own counters say, and an idle program of the cgroup
// went to swap instead of being killed.

#include "memory/ReleaseEngine.h"
#include "platform/linux/GuardedMemoryBlock.h"
#include "platform/linux/ProcMeminfoStatus.h"
#include "support/IdleProgram.h"
#include "support/OnePassEngine.h"
#include "support/TestCgroup.h"
#include "support/TestSwapFile.h"
#include "support/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

constexpr std::uint64_t MiB = 1024 * 1024;

// Runs inside the cgroup: one user's release of 300 MB with one pass. The exit code says how it went.
int releaseInside(TestCgroup& cgroup)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    OnePassEngine window(status, block);
    ReleaseEngine& engine = window.engine;
    window.lstRam.addItem("300 MB");
    window.lstRam.setListIndex(0);
    VirtualScheduler scheduler;
    scheduler.attach(engine.tmrRam);
    scheduler.attach(engine.tmrPass);

    const std::uint64_t leftBefore = cgroup.memoryLeft();
    engine.cmdRam.userClick();
    // The pass runs in the holders whatever the virtual clock says: the looks at it wait for them for real.
    for (int look = 0; look < 3000 && engine.running(); ++look) {
        scheduler.advance(ReleaseEngine::passPollMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(ReleaseEngine::passPollMs));
    }
    const std::uint64_t leftAfter = cgroup.memoryLeft();
    if (engine.running()) return 10;
    if (engine.lastOutcome().passes != 1) return 15;
    const ReleaseOutcome& outcome = engine.lastOutcome();
    if (outcome.refused) return 11;
    const double counted = static_cast<double>(leftAfter) - static_cast<double>(leftBefore);
    if (counted < 200.0 * MiB) return 12; // the release really freed memory
    const double told = outcome.freedMB * static_cast<double>(MiB);
    if (told < counted * 0.9 || told > counted * 1.1) return 13;
    if (describeOutcome(outcome).rfind("Freed " + std::to_string(outcome.freedMB) + " MB", 0) != 0) return 14;
    return 0;
}

TEST(ReleaseWithSwap, WhatAReleaseSaysItFreedIsWhatTheCgroupCounts)
{
    TestCgroup cgroup("memory");
    if (!cgroup.made()) GTEST_SKIP() << cgroup.whyNot();
    const std::string swapFile = (std::filesystem::temp_directory_path() / "nimbrel-release-swap").string();
    const TestSwapFile swap(swapFile, 1024 * MiB);
    if (!swap.on()) GTEST_SKIP() << swap.whyNot();
    ASSERT_TRUE(cgroup.write(cgroup.v2() ? "memory.max" : "memory.limit_in_bytes", std::to_string(1200 * MiB)));
    const IdleProgram idle(cgroup, 800 * MiB);
    ASSERT_TRUE(idle.started());

    const int status = cgroup.runInside([&] { return releaseInside(cgroup); });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "10: still running, 11: refused, 12: nothing freed by the counters, 13: the outcome is more than 10 % "
           "off the counters, 14: the text does not say it, 15: not one pass; status "
        << status;
    EXPECT_TRUE(idle.alive());
    EXPECT_GT(idle.swapped(), 0u);
    EXPECT_EQ(cgroup.oomKills(), 0u);
}

} // namespace
} // namespace nimbrel
