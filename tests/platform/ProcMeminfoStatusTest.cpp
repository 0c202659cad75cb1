#include "platform/linux/ProcMeminfoStatus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace nimbrel {
namespace {

constexpr std::uint64_t KiB = 1024;
constexpr std::uint64_t MiB = 1024 * KiB;
constexpr std::uint64_t GiB = 1024 * MiB;

const std::string data = NIMBREL_TEST_DATA;

// The figures of the recorded machine without swap (normal.txt).
constexpr std::uint64_t normalTotalBytes = 24683772 * KiB;
constexpr std::uint64_t normalAvailBytes = 24163752 * KiB;

std::string meminfo(const std::string& name) { return data + "/meminfo/" + name; }

// A status reading a recorded meminfo file and, if named, a recorded cgroup case: its copy of
// /proc/self/cgroup and the v1 memory and v2 mounts beside it.
ProcMeminfoStatus recorded(const std::string& meminfoFile, const std::string& cgroupCase = "none")
{
    const std::string dir = data + "/cgroup/" + cgroupCase;
    return ProcMeminfoStatus(meminfo(meminfoFile), dir + "/self", dir + "/v1", dir + "/v2");
}

// The machine as /proc/meminfo describes it, read independently: field name to bytes.
std::map<std::string, std::uint64_t> liveMeminfo()
{
    std::ifstream in("/proc/meminfo");
    std::map<std::string, std::uint64_t> fields;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        std::uint64_t kB = 0;
        if (words >> name >> kB) fields[name.substr(0, name.size() - 1)] = kB * KiB;
    }
    return fields;
}

// Recorded machines without a cgroup limit.

TEST(ProcMeminfoStatus, ReadsTheFiguresOfAMachineWithoutSwap)
{
    const MemorySnapshot s = recorded("normal.txt").read();
    EXPECT_EQ(s.totalPhys, 24683772 * KiB);
    EXPECT_EQ(s.availPhys, 24163752 * KiB);
    EXPECT_EQ(s.totalPageFile, 24683772 * KiB);
    EXPECT_EQ(s.availPageFile, 24163752 * KiB);
}

TEST(ProcMeminfoStatus, CountsSwapIntoThePageFile)
{
    const MemorySnapshot s = recorded("with_swap.txt").read();
    EXPECT_EQ(s.totalPhys, 16303324 * KiB);
    EXPECT_EQ(s.availPhys, 8 * GiB);
    EXPECT_EQ(s.totalPageFile, 16303324 * KiB + 2 * GiB);
    EXPECT_EQ(s.availPageFile, 8 * GiB + 1 * GiB);
}

TEST(ProcMeminfoStatus, OnAKernelWithoutMemAvailableCountsFreeBuffersAndCacheAsAvailable)
{
    const MemorySnapshot s = recorded("old_kernel.txt").read();
    EXPECT_EQ(s.totalPhys, 3921564 * KiB);
    EXPECT_EQ(s.availPhys, (524288 + 131072 + 1048576) * KiB);
    EXPECT_EQ(s.totalPageFile, (3921564 + 4063228) * KiB);
    EXPECT_EQ(s.availPageFile, (524288 + 131072 + 1048576 + 4063228) * KiB);
}

TEST(ProcMeminfoStatus, MissingSwapLinesReadAsNoSwap)
{
    const MemorySnapshot s = recorded("missing_fields.txt").read();
    EXPECT_EQ(s.totalPhys, 8060928 * KiB);
    EXPECT_EQ(s.availPhys, 4 * GiB);
    EXPECT_EQ(s.totalPageFile, 8060928 * KiB);
    EXPECT_EQ(s.availPageFile, 4 * GiB);
}

TEST(ProcMeminfoStatus, GarbageKeepsTheOneReadableTotalAndNeverShowsMoreAvailableThanThat)
{
    // MemTotal: "lots" and a later "2048 kB"; MemAvailable "-12 kB" is no number, and the fallback sum
    // overflows through a 26-digit Buffers line.
    const MemorySnapshot s = recorded("garbage.txt").read();
    EXPECT_EQ(s.totalPhys, 2 * MiB);
    EXPECT_EQ(s.availPhys, 2 * MiB);
    EXPECT_EQ(s.totalPageFile, 2 * MiB);
    EXPECT_EQ(s.availPageFile, 2 * MiB);
}

TEST(ProcMeminfoStatus, FreeSwapWithoutSwapBehindItCountsForNothing)
{
    // SwapTotal 0 kB beside SwapFree 4194304 kB: a block sized on that free swap would have nothing behind it.
    const MemorySnapshot s = recorded("free_swap_without_swap.txt").read();
    EXPECT_EQ(s.totalPageFile, normalTotalBytes);
    EXPECT_EQ(s.availPageFile, normalAvailBytes);
}

TEST(ProcMeminfoStatus, FieldsOfTheLargestNumberStayWithinWhatTheyCanBe)
{
    // Every field 2^64-1 kB: the byte counts stop at the largest 64-bit number instead of wrapping round.
    const MemorySnapshot s = recorded("largest_numbers.txt").read();
    EXPECT_EQ(s.totalPhys, UINT64_MAX);
    EXPECT_EQ(s.totalPageFile, UINT64_MAX);
    EXPECT_LE(s.availPhys, s.totalPhys);
    EXPECT_LE(s.availPageFile, s.totalPageFile);
    EXPECT_GE(s.availPageFile, s.availPhys);
}

TEST(ProcMeminfoStatus, AnEmptyOrMissingFileShowsNoMemory)
{
    for (const char* name : {"empty.txt", "no_such_file.txt"}) {
        const MemorySnapshot s = recorded(name).read();
        EXPECT_EQ(s.totalPhys, 0u) << name;
        EXPECT_EQ(s.availPhys, 0u) << name;
        EXPECT_EQ(s.totalPageFile, 0u) << name;
        EXPECT_EQ(s.availPageFile, 0u) << name;
    }
}

// Recorded cgroups. Each case names the figures it expects in bytes.

struct CgroupCase {
    const char* name;
    const char* meminfoFile;
    std::uint64_t totalPhys, availPhys, totalPageFile, availPageFile;
};

void PrintTo(const CgroupCase& c, std::ostream* out) { *out << c.name; }

class RecordedCgroup : public ::testing::TestWithParam<CgroupCase> {};

TEST_P(RecordedCgroup, BoundsTheFigures)
{
    const CgroupCase& c = GetParam();
    const MemorySnapshot s = recorded(c.meminfoFile, c.name).read();
    EXPECT_EQ(s.totalPhys, c.totalPhys);
    EXPECT_EQ(s.availPhys, c.availPhys);
    EXPECT_EQ(s.totalPageFile, c.totalPageFile);
    EXPECT_EQ(s.availPageFile, c.availPageFile);
}

constexpr std::uint64_t normalTotal = normalTotalBytes;
constexpr std::uint64_t normalAvail = normalAvailBytes;
constexpr std::uint64_t swapMachineTotal = 16303324 * KiB;

INSTANTIATE_TEST_SUITE_P(
    ProcMeminfoStatus, RecordedCgroup,
    ::testing::Values(
        // This machine: v1, 9223372036854771712 ("unlimited") all the way up.
        CgroupCase{"v1_unlimited", "normal.txt", normalTotal, normalAvail, normalTotal, normalAvail},
        // v1, 2 GiB with 512 MiB used; memory and swap 3 GiB with 768 MiB used; 2 GiB of swap, 1 GiB free.
        CgroupCase{"v1_limited", "with_swap.txt", 2 * GiB, 1536 * MiB, 3 * GiB, 2304 * MiB},
        CgroupCase{"v1_limited", "normal.txt", 2 * GiB, 1536 * MiB, 2 * GiB, 1536 * MiB},
        // The group would let memory and swap reach 2304 MiB, but the 4 GiB of free swap have no swap behind them.
        CgroupCase{"v1_limited", "free_swap_without_swap.txt", 2 * GiB, 1536 * MiB, 2 * GiB, 1536 * MiB},
        // The parent's 512 MiB with 400 MiB used binds tighter than the child's 1 GiB with 100 MiB used.
        CgroupCase{"v1_nested", "normal.txt", 512 * MiB, 112 * MiB, 512 * MiB, 112 * MiB},
        // Usage above the limit leaves nothing, not a wrapped-around number.
        CgroupCase{"v1_over_limit", "normal.txt", 256 * MiB, 0, 256 * MiB, 0},
        // A container's own cgroup at the root of the mount.
        CgroupCase{"v1_container", "normal.txt", 512 * MiB, 384 * MiB, 512 * MiB, 384 * MiB},
        // v2, "max" all the way up.
        CgroupCase{"v2_max", "with_swap.txt", swapMachineTotal, 8 * GiB, swapMachineTotal + 2 * GiB, 9 * GiB},
        // v2, 1 GiB with 256 MiB used; swap 512 MiB with 128 MiB used.
        CgroupCase{"v2_limited", "with_swap.txt", 1 * GiB, 768 * MiB, 1536 * MiB, 1152 * MiB},
        // The parent's 1 GiB limit is the higher one, but with 900 MiB used it leaves less than the child.
        CgroupCase{"v2_nested", "normal.txt", 512 * MiB, 124 * MiB, 512 * MiB, 124 * MiB},
        // memory.swap.max 0: the machine's swap is out of reach.
        CgroupCase{"v2_no_swap", "with_swap.txt", swapMachineTotal, 8 * GiB, swapMachineTotal, 8 * GiB},
        // "banana" and "-1" are no limits.
        CgroupCase{"garbage", "normal.txt", normalTotal, normalAvail, normalTotal, normalAvail},
        // A limit whose usage cannot be read still bounds the total.
        CgroupCase{"garbage_usage", "normal.txt", 1 * GiB, 1 * GiB, 1 * GiB, 1 * GiB},
        // A /proc/self/cgroup that is not one means no limit.
        CgroupCase{"garbage_self", "normal.txt", normalTotal, normalAvail, normalTotal, normalAvail},
        // "/../../system.slice/...": the process's cgroup is not under the mount.
        CgroupCase{"outside_namespace", "normal.txt", normalTotal, normalAvail, normalTotal, normalAvail},
        // No recorded cgroup files at all.
        CgroupCase{"none", "normal.txt", normalTotal, normalAvail, normalTotal, normalAvail}),
    [](const ::testing::TestParamInfo<CgroupCase>& info) {
        return std::string(info.param.name) + "_" + std::to_string(info.index);
    });

TEST(ProcMeminfoStatus, SeesALimitChangedAfterConstruction)
{
    // The cgroup path and which levels limit are found once; the values themselves are read on every call.
    const std::string dir = ::testing::TempDir() + "nimbrel-cgroup-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir + "/v1/app");
    std::ofstream(dir + "/self") << "4:memory:/app\n";
    std::ofstream(dir + "/v1/app/memory.limit_in_bytes") << "1073741824\n";
    std::ofstream(dir + "/v1/app/memory.usage_in_bytes") << "0\n";
    ProcMeminfoStatus status(meminfo("normal.txt"), dir + "/self", dir + "/v1", dir + "/v2");
    EXPECT_EQ(status.read().totalPhys, 1 * GiB);

    std::ofstream(dir + "/v1/app/memory.limit_in_bytes") << "536870912\n";
    std::ofstream(dir + "/v1/app/memory.usage_in_bytes") << "134217728\n";
    const MemorySnapshot s = status.read();
    EXPECT_EQ(s.totalPhys, 512 * MiB);
    EXPECT_EQ(s.availPhys, 384 * MiB);
    std::filesystem::remove_all(dir);
}

// The live files of this machine.

TEST(ProcMeminfoStatus, LiveFiguresAreSane)
{
    const MemorySnapshot s = ProcMeminfoStatus().read();
    EXPECT_GT(s.totalPhys, 0u);
    EXPECT_GT(s.availPhys, 0u);
    EXPECT_LE(s.availPhys, s.totalPhys);
    EXPECT_LE(s.totalPhys, s.totalPageFile);
    EXPECT_LE(s.availPageFile, s.totalPageFile);
    EXPECT_LE(s.availPhys, s.availPageFile);
}

TEST(ProcMeminfoStatus, LiveFiguresAgreeWithProcMeminfoReadIndependently)
{
    auto fields = liveMeminfo();
    ASSERT_GT(fields["MemTotal"], 0u);
    // Without the cgroup the figures are /proc/meminfo's own.
    const MemorySnapshot s = ProcMeminfoStatus("/proc/meminfo", "/nonexistent").read();
    const auto after = liveMeminfo();
    EXPECT_EQ(s.totalPhys, fields["MemTotal"]);
    EXPECT_EQ(s.totalPageFile, fields["MemTotal"] + fields["SwapTotal"]);
    // Available memory moves while the files are read; the status's figure must lie between the independent
    // readings before and after it, give or take 5% of the machine.
    const std::uint64_t slack = fields["MemTotal"] / 20;
    const std::uint64_t low = std::min(fields["MemAvailable"], after.at("MemAvailable"));
    const std::uint64_t high = std::max(fields["MemAvailable"], after.at("MemAvailable"));
    EXPECT_GE(s.availPhys + slack, low);
    EXPECT_LE(s.availPhys, high + slack);
    EXPECT_GE(s.availPageFile + slack, low + fields["SwapFree"]);
    EXPECT_LE(s.availPageFile, high + fields["SwapFree"] + slack);
}

TEST(ProcMeminfoStatus, LiveFiguresWithTheCgroupNeverExceedTheMachine)
{
    auto fields = liveMeminfo();
    const MemorySnapshot s = ProcMeminfoStatus().read();
    EXPECT_LE(s.totalPhys, fields["MemTotal"]);
    EXPECT_LE(s.totalPageFile, fields["MemTotal"] + fields["SwapTotal"]);
}

} // namespace
} // namespace nimbrel
