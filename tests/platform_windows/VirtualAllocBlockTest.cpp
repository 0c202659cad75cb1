#include "platform/windows/VirtualAllocBlock.h"

#include "platform/windows/MemoryStatusEx.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <mutex>

namespace nimbrel {
namespace {

using nimbrel::testing::FakeMemoryStatus;

constexpr std::uint64_t MiB = 1024 * 1024;
constexpr std::uint64_t GiB = 1024 * MiB;

// The memory of this process that is in physical memory now.
std::uint64_t workingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize;
}

// On this machine, with its real figures: every page of the block is written while it is held, and given back.
TEST(VirtualAllocBlock, ASixtyFourMegabyteBlockIsWrittenHeldAndGivenBack)
{
    MemoryStatusEx status;
    VirtualAllocBlock block(status);
    const std::uint64_t before = workingSet();
    {
        HeldOutcome held = block.writeAndHold(64 * MiB);
        ASSERT_EQ(held.outcome, BlockOutcome::Written);
        ASSERT_TRUE(held.holder);
        EXPECT_GE(workingSet(), before + 60 * MiB);
    }
    EXPECT_LT(workingSet(), before + 16 * MiB);
}

TEST(VirtualAllocBlock, ABlockAsLargeAsTheCommitLeftIsRefusedBeforeAnythingIsTaken)
{
    MemoryStatusEx status;
    VirtualAllocBlock block(status);
    const std::uint64_t before = workingSet();
    EXPECT_EQ(block.writeAndFree(status.read().availPageFile), BlockOutcome::Refused);
    EXPECT_LT(workingSet(), before + 16 * MiB);
}

// A 4 GB machine with 1 GB of commit left and 80 MB of margin.
TEST(VirtualAllocBlock, TheMarginIsKeptOfTheCommitLeft)
{
    FakeMemoryStatus status;
    status.snapshot = {4 * GiB, 512 * MiB, 6 * GiB, 1 * GiB};
    VirtualAllocBlock block(status);
    EXPECT_EQ(block.writeAndFree(1 * GiB - 80 * MiB), BlockOutcome::Refused);
    EXPECT_EQ(block.writeAndFree(32 * MiB), BlockOutcome::Written);
}

// Another program takes the commit while the block is written: the block is given back at once.
TEST(VirtualAllocBlock, ABlockIsGivenBackEarlyWhenTheCommitLeftFallsUnderTheMargin)
{
    FakeMemoryStatus status;
    status.snapshot = {4 * GiB, 512 * MiB, 6 * GiB, 1 * GiB};
    status.beforeRead = [&](MemorySnapshot& now) {
        if (status.reads > 1) now.availPageFile = 40 * MiB;
    };
    VirtualAllocBlock block(status);
    const HeldOutcome held = block.writeAndHold(96 * MiB);
    EXPECT_EQ(held.outcome, BlockOutcome::Aborted);
    EXPECT_FALSE(held.holder);
    EXPECT_EQ(status.reads, 2) << "given back at the first look after the figures fell";
}

// A release's pass returns while its block is still being written, tells how far it has come, and, kept, holds
// the block until it goes; a pass destroyed half-way stops writing and gives back what it took.
TEST(VirtualAllocBlock, APassWritesItsBlockWhileTheWindowGoesOn)
{
    FakeMemoryStatus status;
    status.snapshot = {4 * GiB, 512 * MiB, 6 * GiB, 1 * GiB};
    std::mutex gate;
    std::unique_lock<std::mutex> closed(gate);
    status.beforeRead = [&](MemorySnapshot&) {
        if (status.reads == 2) const std::lock_guard<std::mutex> wait(gate); // the first look after 16 MB written
    };
    VirtualAllocBlock block(status);
    const std::uint64_t before = workingSet();
    {
        const auto pass = block.startPass({64 * MiB, true, true});
        const PassProgress early = pass->progressWithin(50);
        EXPECT_FALSE(early.finished);
        EXPECT_EQ(early.goalBytes, 64 * MiB);
        closed.unlock();
        PassProgress now = pass->progressWithin(10000);
        ASSERT_TRUE(now.finished);
        EXPECT_EQ(now.outcome, BlockOutcome::Written);
        EXPECT_EQ(now.doneBytes, 64 * MiB);
        EXPECT_GE(workingSet(), before + 60 * MiB) << "kept until the pass goes";
    }
    EXPECT_LT(workingSet(), before + 16 * MiB);

    status.reads = 0;
    closed.lock();
    {
        const auto pass = block.startPass({64 * MiB, false, true});
        EXPECT_FALSE(pass->progressWithin(50).finished);
        closed.unlock();
    }
    EXPECT_LE(status.reads, 3) << "the writing stopped when the pass went";
    EXPECT_LT(workingSet(), before + 16 * MiB);
}

} // namespace
} // namespace nimbrel
