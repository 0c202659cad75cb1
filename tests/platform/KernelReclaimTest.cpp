// Which memory.reclaim a release may write, found in fake cgroup trees on disk as an ordinary user (nobody)
// and as root would find them; and a pass through it, with a kernel that answers as the test says.

#include "platform/linux/KernelReclaim.h"
#include "platform/linux/KernelReclaimPass.h"
#include "platform/linux/ReclaimOrBlock.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;
namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;

// A cgroup2 mount under a temporary folder and a /proc/self/cgroup beside it.
class FakeCgroupTree {
public:
    FakeCgroupTree() : dir_(fs::path(::testing::TempDir()) / ("nimbrel-reclaim-" + std::to_string(::getpid())))
    {
        fs::remove_all(dir_);
        fs::create_directories(root());
        fs::permissions(dir_, fs::perms::all);
    }
    ~FakeCgroupTree() { fs::remove_all(dir_); }

    std::string root() const { return (dir_ / "v2").string(); }
    std::string self() const { return (dir_ / "self").string(); }
    void placeProcess(const std::string& lines) const { std::ofstream(self()) << lines; }
    // A group with a memory.reclaim the owner may write; owner root, or the user it is delegated to.
    void group(const std::string& path, uid_t owner = 0, bool withReclaim = true) const
    {
        const fs::path d = root() + path;
        fs::create_directories(d);
        if (!withReclaim) return;
        const std::string file = (d / "memory.reclaim").string();
        std::ofstream(file) << "";
        ::chmod(file.c_str(), 0200);
        // Only root gives a file away; anyone else's files are their own already.
        if (::getuid() == 0 && ::chown(file.c_str(), owner, owner) != 0) ADD_FAILURE() << "chown " << file;
    }

private:
    fs::path dir_;
};

// The file found by a process of user uid, as the path under the mount ("" for none).
std::string foundAs(uid_t uid, const FakeCgroupTree& tree)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (uid != 0 && (::setgid(uid) != 0 || ::setuid(uid) != 0)) ::_exit(2);
        const KernelReclaim kernel(tree.self(), tree.root());
        std::string found = kernel.offered() ? kernel.file().substr(tree.root().size()) : "";
        if (::write(pipeFds[1], found.data(), found.size()) < 0) ::_exit(3);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string found;
    char buffer[512];
    ssize_t got;
    while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) found.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed";
    return found;
}

TEST(KernelReclaim, AUsersProgramInANestedAppScopeReclaimsFromTheWholeDelegatedUserService)
{
    if (::getuid() != 0) GTEST_SKIP() << "making files of another user needs root";
    FakeCgroupTree tree;
    tree.group("");
    tree.group("/user.slice");
    tree.group("/user.slice/user-65534.slice");
    tree.group("/user.slice/user-65534.slice/user@65534.service", nobody);
    tree.group("/user.slice/user-65534.slice/user@65534.service/app.slice", nobody);
    // systemd names a scope after the desktop entry, blanks and all.
    const std::string scope = "/user.slice/user-65534.slice/user@65534.service/app.slice/app-My Memory Tool-4711.scope";
    tree.group(scope, nobody);
    tree.placeProcess("0::" + scope + "\n");
    EXPECT_EQ(foundAs(nobody, tree), "/user.slice/user-65534.slice/user@65534.service/memory.reclaim");
}

TEST(KernelReclaim, RootInTheRootGroupReclaimsFromTheWholeMachine)
{
    if (::getuid() != 0) GTEST_SKIP() << "the root group's file is root's";
    FakeCgroupTree tree;
    tree.group("");
    tree.placeProcess("0::/\n");
    EXPECT_EQ(foundAs(0, tree), "/memory.reclaim");
}

TEST(KernelReclaim, AUserInTheRootGroupOrUnderGroupsOfRootOnlyHasNone)
{
    if (::getuid() != 0) GTEST_SKIP() << "making files of another user needs root";
    FakeCgroupTree tree;
    tree.group("");
    tree.group("/system.slice");
    tree.placeProcess("0::/\n");
    EXPECT_EQ(foundAs(nobody, tree), "");
    tree.placeProcess("0::/system.slice\n");
    EXPECT_EQ(foundAs(nobody, tree), "") << "read-only for this user";
}

TEST(KernelReclaim, AKernelWithoutTheFileOffersNone)
{
    FakeCgroupTree tree;
    tree.group("", 0, false);
    tree.group("/user.slice", 0, false);
    tree.placeProcess("0::/user.slice\n");
    EXPECT_EQ(foundAs(::getuid(), tree), "");
}

TEST(KernelReclaim, TheMemoryControllerOnCgroupV1OffersNone)
{
    FakeCgroupTree tree;
    tree.group("");
    tree.group("/user.slice");
    tree.placeProcess("12:memory:/user.slice\n0::/user.slice\n");
    EXPECT_EQ(foundAs(::getuid(), tree), "");
    tree.placeProcess("0::/../../elsewhere\n");
    EXPECT_EQ(foundAs(::getuid(), tree), "") << "a group outside the mount";
}

// A kernel that answers from a script and raises available memory by what the test says for each answer
// that reclaimed; what it was asked for is kept.
class ScriptedKernel : public KernelReclaim {
public:
    ScriptedKernel(FakeMemoryStatus& status, std::uint64_t risePerRequest)
        : KernelReclaim("/nonexistent", "/nonexistent"), status_(status), rise_(risePerRequest)
    {
    }
    bool offered() const override { return open; }
    Answer reclaim(std::uint64_t bytes) const override
    {
        asked.push_back(bytes / MB);
        const Answer answer = answers.empty() ? Answer::Reclaimed : answers.front();
        if (!answers.empty()) answers.pop_front();
        if (answer == Answer::Reclaimed) status_.snapshot.availPhys += rise_;
        return answer;
    }
    mutable std::deque<Answer> answers;
    mutable std::vector<std::uint64_t> asked;
    bool open = true;

private:
    FakeMemoryStatus& status_;
    std::uint64_t rise_;
};

// A pass whose figures are a 4 GB machine with 1,000 MB available and 2 GB of free swap.
struct ReclaimCase {
    std::unique_ptr<FakeMemoryStatus> owned = std::make_unique<FakeMemoryStatus>();
    FakeMemoryStatus& status = *owned;
    ReclaimCase() { status.setMB(4096, 1000, 6144, 3000); }
    PassProgress run(const KernelReclaim& kernel, std::uint64_t targetMB)
    {
        KernelReclaimPass pass(kernel, std::move(owned), targetMB * MB);
        const PassProgress progress = pass.progressWithin(10'000);
        asked = pass.askedBytes() / MB;
        return progress;
    }
    std::uint64_t asked = 0;
};

TEST(KernelReclaimPass, AHundredMegabytesMissingAreAskedForInStepsUntilTheyAreAvailable)
{
    ReclaimCase c;
    ScriptedKernel kernel(c.status, 64 * MB);
    const PassProgress p = c.run(kernel, 1100);
    EXPECT_TRUE(p.finished);
    EXPECT_EQ(p.outcome, BlockOutcome::Written);
    EXPECT_EQ(kernel.asked, (std::vector<std::uint64_t>{64, 36}));
    EXPECT_EQ(p.doneBytes, 100 * MB);
    EXPECT_EQ(p.goalBytes, 100 * MB);
}

TEST(KernelReclaimPass, AKernelThatCanReclaimNoMoreEndsThePassShort)
{
    for (const auto noMore : {KernelReclaim::Answer::NoMore, KernelReclaim::Answer::Failed}) {
        ReclaimCase c;
        ScriptedKernel kernel(c.status, 64 * MB);
        kernel.answers = {KernelReclaim::Answer::Reclaimed, noMore};
        const PassProgress p = c.run(kernel, 1300);
        EXPECT_EQ(p.outcome, BlockOutcome::Aborted);
        EXPECT_EQ(kernel.asked, (std::vector<std::uint64_t>{64, 64})) << "nothing asked after the refusal";
        EXPECT_EQ(p.doneBytes, 64 * MB);
    }
}

TEST(KernelReclaimPass, PagesThatStayInMemoryCompressedStopThePassAtFourTimesWhatWasMissing)
{
    ReclaimCase c;
    ScriptedKernel kernel(c.status, 8 * MB); // zram: an eighth of each request shows as available
    const PassProgress p = c.run(kernel, 1128);
    EXPECT_EQ(p.outcome, BlockOutcome::Aborted);
    EXPECT_EQ(c.asked, 512u);
    EXPECT_EQ(p.doneBytes, 64 * MB);
    EXPECT_EQ(p.goalBytes, 128 * MB);
}

TEST(KernelReclaimPass, SwapRunningShortStopsThePass)
{
    ReclaimCase c;
    ScriptedKernel kernel(c.status, 10 * MB);
    c.status.beforeRead = [](MemorySnapshot& now) {
        if (now.availPageFile > 70 * MB) now.availPageFile -= 60 * MB;
    };
    c.status.setMB(4096, 1000, 6144, 1300);
    c.run(kernel, 2000);
    // 1,300 MB of memory and swap free and 60 MB less at each look: the 21st look (the pass's 20th) finds 40 MB,
    // under the margin of 2 % of 4 GB (82 MB), and asks for nothing more.
    EXPECT_EQ(kernel.asked.size(), 19u);
}

TEST(KernelReclaimPass, ATargetAlreadyReachedAsksForNothing)
{
    ReclaimCase c;
    ScriptedKernel kernel(c.status, 64 * MB);
    const PassProgress p = c.run(kernel, 900);
    EXPECT_EQ(p.outcome, BlockOutcome::Written);
    EXPECT_TRUE(kernel.asked.empty());
}

TEST(ReclaimOrBlock, TheKernelReclaimsWhereItIsOfferedAndTheBlockIsWrittenWhereNotOrWhenTheUserSaysSo)
{
    FakeMemoryStatus figures;
    figures.setMB(4096, 1000, 6144, 3000);
    ScriptedKernel kernel(figures, 64 * MB);
    FakeMemoryBlock block;
    ReclaimOrBlock passes(block, kernel, [&figures] { return std::make_unique<FakeMemoryStatus>(figures); });

    EXPECT_EQ(passes.startPass({1100 * MB, false, false})->method(), PassMethod::KernelReclaim);
    EXPECT_TRUE(block.blocks.empty());
    EXPECT_EQ(passes.startPass({1100 * MB, false, true})->method(), PassMethod::Block);
    kernel.open = false;
    EXPECT_EQ(passes.startPass({1100 * MB, true, false})->method(), PassMethod::Block);
    EXPECT_EQ(block.blocks, (std::vector<std::uint64_t>{1100 * MB, 1100 * MB}));
}

} // namespace
} // namespace nimbrel
