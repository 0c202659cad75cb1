#include "platform/linux/GuardedMemoryBlock.h"

#include "support/TestCgroup.h"
#include "platform/linux/ProcMeminfoStatus.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

using nimbrel::testing::FakeMemoryStatus;
using nimbrel::testing::TestCgroup;

constexpr std::uint64_t MiB = 1024 * 1024;
constexpr std::uint64_t GiB = 1024 * MiB;

// No holder outlives a pass: the test process has no child left, running or unreaped.
bool noChildLeft() { return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD; }

bool inAHolder(pid_t caller) { return ::getpid() != caller; }

std::string oomScoreAdj()
{
    char text[16] = {};
    const int fd = ::open("/proc/self/oom_score_adj", O_RDONLY);
    if (fd >= 0) {
        if (::read(fd, text, sizeof text - 1) < 0) text[0] = 0;
        ::close(fd);
    }
    std::string value(text);
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

std::string describe(int waitStatus)
{
    if (waitStatus == -1) return "the test child could not be started or moved into the cgroup";
    if (WIFSIGNALED(waitStatus)) return "the test child was killed by signal " + std::to_string(WTERMSIG(waitStatus));
    return "the test child ended with code " + std::to_string(WEXITSTATUS(waitStatus));
}

int exitCode(int waitStatus) { return waitStatus != -1 && WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1; }

// The figures are fine when a block starts; its holders find nothing available at their first look.
void runsShortInTheHolders(FakeMemoryStatus& status)
{
    status.setMB(24 * 1024, 20 * 1024, 24 * 1024, 20 * 1024);
    status.beforeRead = [caller = ::getpid()](MemorySnapshot& s) {
        if (inAHolder(caller)) s.availPhys = s.availPageFile = 0;
    };
}

// On this machine, with its real figures.

TEST(GuardedMemoryBlock, ASixtyFourMegabyteBlockIsWrittenAndGivenBack)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(64 * MiB), BlockOutcome::Written);
    EXPECT_TRUE(noChildLeft());
}

// What the holders of a block have resident, in bytes: the children of this process.
std::uint64_t residentInChildren()
{
    std::ifstream children("/proc/self/task/" + std::to_string(::getpid()) + "/children");
    std::uint64_t bytes = 0;
    for (pid_t child; children >> child;) {
        std::ifstream status("/proc/" + std::to_string(child) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmRSS:", 0) == 0) bytes += std::stoull(line.substr(6)) * 1024;
        }
    }
    return bytes;
}

TEST(GuardedMemoryBlock, AHeldBlockStaysResidentUntilItsHolderGoes)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    HeldOutcome held = block.writeAndHold(96 * MiB);
    ASSERT_EQ(held.outcome, BlockOutcome::Written);
    ASSERT_NE(held.holder, nullptr);
    EXPECT_GE(residentInChildren(), 96 * MiB);
    held.holder.reset();
    EXPECT_TRUE(noChildLeft());
}

TEST(GuardedMemoryBlock, AHalfGigabyteBlockSplitOverTheCoresIsWrittenAndGivenBack)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(512 * MiB + 3), BlockOutcome::Written);
    EXPECT_TRUE(noChildLeft());
}

TEST(GuardedMemoryBlock, ATebibyteIsMoreThanThisMachineCanBackAndIsRefused)
{
    ProcMeminfoStatus status;
    ASSERT_LT(status.read().availPageFile, 1024 * GiB);
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(1024 * GiB), BlockOutcome::Refused);
    EXPECT_TRUE(noChildLeft());
}

TEST(GuardedMemoryBlock, AnEmptyBlockIsWritten)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(0), BlockOutcome::Written);
}

// With figures the test sets. The machine itself has far more than any of these blocks.

TEST(GuardedMemoryBlock, AMachineWith100MegabytesAvailableRefusesA200MegabyteBlock)
{
    FakeMemoryStatus status;
    status.setMB(1024, 100, 1024, 100);
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(200 * MiB), BlockOutcome::Refused);
    EXPECT_EQ(status.reads, 1);
    EXPECT_TRUE(noChildLeft());
}

TEST(GuardedMemoryBlock, FreeSwapCountsTowardsWhatABlockMayTake)
{
    FakeMemoryStatus status;
    status.setMB(1024, 100, 3072, 1124);
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(512 * MiB), BlockOutcome::Written);
}

TEST(GuardedMemoryBlock, ABlockMustLeaveAtLeast64MegabytesFree)
{
    // 2% of 1 GB is less than 64 MB, so 64 MB it is: of 256 MB available a block may take 192 MB.
    FakeMemoryStatus status;
    status.setMB(1024, 256, 1024, 256);
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(192 * MiB + 1), BlockOutcome::Refused);
    EXPECT_EQ(block.writeAndFree(190 * MiB), BlockOutcome::Written);
}

TEST(GuardedMemoryBlock, ABlockMustLeaveTwoPerCentOfALargerMachineFree)
{
    // 2% of 4 GB is 81.92 MB: of 1 GB available a block may take 942.08 MB, not 960 MB.
    FakeMemoryStatus status;
    status.setMB(4096, 1024, 4096, 1024);
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(960 * MiB), BlockOutcome::Refused);
    EXPECT_EQ(block.writeAndFree(940 * MiB), BlockOutcome::Written);
}

TEST(GuardedMemoryBlock, MemoryRunningShortWhileTheBlockIsWrittenAbortsIt)
{
    FakeMemoryStatus status;
    runsShortInTheHolders(status);
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(256 * MiB), BlockOutcome::Aborted);
    EXPECT_TRUE(noChildLeft());
}

TEST(GuardedMemoryBlock, AHolderKilledWhileWritingAbortsTheBlockAndTheCallerLivesOn)
{
    // As the OOM killer would: SIGKILL in the middle of the block.
    FakeMemoryStatus status;
    status.setMB(24 * 1024, 20 * 1024, 24 * 1024, 20 * 1024);
    status.beforeRead = [caller = ::getpid()](MemorySnapshot&) {
        if (inAHolder(caller)) ::raise(SIGKILL);
    };
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(256 * MiB), BlockOutcome::Aborted);
    EXPECT_TRUE(noChildLeft());
    EXPECT_EQ(block.writeAndFree(0), BlockOutcome::Written);
}

TEST(GuardedMemoryBlock, TheHoldersAndNotTheCallerAreTheOomKillersFirstChoice)
{
    // A holder that finds its oom_score_adj anything but 1000 sees no memory and gives up.
    const std::string callersBefore = oomScoreAdj();
    FakeMemoryStatus status;
    status.setMB(24 * 1024, 20 * 1024, 24 * 1024, 20 * 1024);
    status.beforeRead = [caller = ::getpid()](MemorySnapshot& s) {
        if (inAHolder(caller) && oomScoreAdj() != "1000") s.availPhys = s.availPageFile = 0;
    };
    GuardedMemoryBlock block(status);
    EXPECT_EQ(block.writeAndFree(256 * MiB), BlockOutcome::Written);
    EXPECT_EQ(oomScoreAdj(), callersBefore);
}

// A pass looked at every 5 ms until it ends: what each look saw.
std::vector<PassProgress> looksUntilOver(RunningPass& pass)
{
    std::vector<PassProgress> looks;
    for (int i = 0; i < 20'000; ++i) {
        looks.push_back(pass.progressWithin(5));
        if (looks.back().finished) break;
    }
    return looks;
}

TEST(GuardedMemoryBlock, APassReturnsWhileItsHoldersWriteAndIsHeardGrowingUntilItEnds)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    const std::unique_ptr<RunningPass> pass = block.startPass({1 * GiB, false, false});
    const std::vector<PassProgress> looks = looksUntilOver(*pass);
    ASSERT_TRUE(looks.back().finished);
    EXPECT_EQ(looks.back().outcome, BlockOutcome::Written);
    EXPECT_EQ(looks.back().doneBytes, 1 * GiB);
    EXPECT_FALSE(looks.front().finished) << "a gigabyte is not written by the time the pass is first looked at";
    bool partway = false;
    for (std::size_t i = 1; i < looks.size(); ++i) {
        EXPECT_GE(looks[i].doneBytes, looks[i - 1].doneBytes);
        partway = partway || (looks[i].doneBytes > 0 && looks[i].doneBytes < 1 * GiB);
    }
    EXPECT_TRUE(partway) << "some look saw part of the block written";
    EXPECT_TRUE(noChildLeft()) << "the block was given back once written";
}

TEST(GuardedMemoryBlock, AKeptPassHoldsItsBlockUntilItIsDestroyed)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    std::unique_ptr<RunningPass> pass = block.startPass({96 * MiB, true, false});
    ASSERT_EQ(looksUntilOver(*pass).back().outcome, BlockOutcome::Written);
    EXPECT_FALSE(noChildLeft());
    pass.reset();
    EXPECT_TRUE(noChildLeft());
}

TEST(GuardedMemoryBlock, APassThatMemoryRunsShortForEndsAbortedAndOneTooLargeRefused)
{
    FakeMemoryStatus status;
    runsShortInTheHolders(status);
    GuardedMemoryBlock block(status);
    std::unique_ptr<RunningPass> pass = block.startPass({256 * MiB, false, false});
    EXPECT_EQ(looksUntilOver(*pass).back().outcome, BlockOutcome::Aborted);
    EXPECT_TRUE(noChildLeft());
    pass = block.startPass({30 * GiB, false, false});
    EXPECT_EQ(pass->progress().outcome, BlockOutcome::Refused);
    EXPECT_TRUE(pass->progress().finished);
}

TEST(GuardedMemoryBlock, APassDestroyedWhileItsHoldersWriteLeavesNoneBehind)
{
    ProcMeminfoStatus status;
    GuardedMemoryBlock block(status);
    std::unique_ptr<RunningPass> pass = block.startPass({1 * GiB, false, false});
    pass.reset();
    EXPECT_TRUE(noChildLeft());
}

// In a memory cgroup of its own, where the kernel's limit is real and so is its OOM killer.

enum ChildCode { kRefused = 0, kAborted = 1, kWritten = 2, kOther = 3, kWrongLimit = 4, kForkAllowed = 5 };

int codeOf(BlockOutcome outcome)
{
    switch (outcome) {
    case BlockOutcome::Refused: return kRefused;
    case BlockOutcome::Aborted: return kAborted;
    case BlockOutcome::Written: return kWritten;
    }
    return kOther;
}

// A child in the cgroup makes one pass through the live status; its exit code says what came of it.
int passInside(TestCgroup& cgroup, std::uint64_t bytes, std::uint64_t expectedTotal)
{
    return cgroup.runInside([=] {
        ProcMeminfoStatus status;
        if (status.read().totalPhys != expectedTotal) return int{kWrongLimit};
        GuardedMemoryBlock block(status);
        return codeOf(block.writeAndFree(bytes));
    });
}

TEST(GuardedMemoryBlock, InA256MegabyteCgroupHalfAGigabyteIsNotTakenAndNothingIsKilled)
{
    TestCgroup cgroup("memory");
    if (!cgroup.made()) GTEST_SKIP() << "cannot make a memory cgroup here: " << cgroup.whyNot();
    ASSERT_TRUE(cgroup.limitMemory(256 * MiB));

    const int status = passInside(cgroup, 512 * MiB, 256 * MiB);
    const int code = exitCode(status);
    ASSERT_TRUE(code == kRefused || code == kAborted) << describe(status);
    EXPECT_EQ(cgroup.oomKills(), 0u);
    if (code == kRefused) {
        const auto peak = cgroup.peakUsage();
        if (peak) {
            EXPECT_LT(*peak, 64 * MiB) << "a refused block took memory";
        }
    }
}

TEST(GuardedMemoryBlock, InA256MegabyteCgroup64MegabytesAreWrittenInFullAndNothingIsKilled)
{
    TestCgroup cgroup("memory");
    if (!cgroup.made()) GTEST_SKIP() << "cannot make a memory cgroup here: " << cgroup.whyNot();
    ASSERT_TRUE(cgroup.limitMemory(256 * MiB));

    const int status = passInside(cgroup, 64 * MiB, 256 * MiB);
    EXPECT_EQ(exitCode(status), kWritten) << describe(status);
    EXPECT_EQ(cgroup.oomKills(), 0u);
    const auto peak = cgroup.peakUsage();
    if (!peak) GTEST_SKIP() << "this kernel keeps no peak usage of a cgroup";
    EXPECT_GE(*peak, 64 * MiB) << "the whole block was never resident at once";
}

TEST(GuardedMemoryBlock, WhenTheFiguresLieTheOomKillerTakesAHolderAndNotTheCaller)
{
    // The status claims 8 GB available in a 128 MB cgroup, so the holders run into the kernel's limit.
    TestCgroup cgroup("memory");
    if (!cgroup.made()) GTEST_SKIP() << "cannot make a memory cgroup here: " << cgroup.whyNot();
    ASSERT_TRUE(cgroup.limitMemory(128 * MiB));

    const int status = cgroup.runInside([] {
        FakeMemoryStatus lying;
        lying.setMB(16 * 1024, 8 * 1024, 16 * 1024, 8 * 1024);
        GuardedMemoryBlock block(lying);
        return codeOf(block.writeAndFree(512 * MiB));
    });
    EXPECT_EQ(exitCode(status), kAborted) << describe(status);
    EXPECT_GE(cgroup.oomKills(), 1u);
}

TEST(GuardedMemoryBlock, AProcessNotAllowedToForkHasItsBlockRefused)
{
    TestCgroup cgroup("pids");
    if (!cgroup.made()) GTEST_SKIP() << "cannot make a pids cgroup here: " << cgroup.whyNot();
    ASSERT_TRUE(cgroup.write("pids.max", "1"));

    const int status = cgroup.runInside([] {
        const pid_t other = ::fork();
        if (other == 0) ::_exit(0);
        if (other > 0) {
            ::waitpid(other, nullptr, 0);
            return int{kForkAllowed};
        }
        ProcMeminfoStatus status;
        GuardedMemoryBlock block(status);
        return codeOf(block.writeAndFree(64 * MiB));
    });
    EXPECT_EQ(exitCode(status), kRefused) << describe(status);
}

} // namespace
} // namespace nimbrel
