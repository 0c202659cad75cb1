#include "platform/windows/VirtualAllocBlock.h"

#include "platform/windows/MemoryStatusEx.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

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

} // namespace
} // namespace nimbrel
