#include "memory/AmountLists.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

struct Machine {
    std::uint64_t totalPhysBytes;
    std::int32_t totalPhysicalMB;
    const char* lastEntry;
    int entries;
};

class AmountListsTest : public ::testing::TestWithParam<Machine> {};

TEST_P(AmountListsTest, ListsRunInStepsOfTwoUpToTheMachineAndNeverPast2000MB)
{
    const Machine m = GetParam();
    FakeMemoryStatus memory;
    memory.snapshot = {m.totalPhysBytes, m.totalPhysBytes / 2, m.totalPhysBytes * 2, m.totalPhysBytes};
    RecordingReporter reporter;
    AmountLists lists(memory, reporter);
    lists.initMemory();
    lists.fillLists();
    EXPECT_EQ(lists.totalPhysicalMB(), m.totalPhysicalMB);
    for (ListModel* list : {&lists.lstRam, &lists.lstTimeAmount, &lists.lstAutoAmount, &lists.cmbAutoRelease}) {
        ASSERT_EQ(list->count(), m.entries);
        EXPECT_EQ(list->item(0), "2 MB");
        EXPECT_EQ(list->item(m.entries - 1), m.lastEntry);
    }
    EXPECT_EQ(lists.cmbStartupRam.count(), m.entries + 1);
    EXPECT_EQ(lists.cmbStartupRam.item(0), "0 MB");
    EXPECT_EQ(lists.cmbStartupRam.item(m.entries), m.lastEntry);
    EXPECT_TRUE(reporter.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Machines, AmountListsTest,
    ::testing::Values(Machine{static_cast<std::uint64_t>(511.6 * MB), 513, "512 MB", 256},
                      Machine{512 * MB, 513, "512 MB", 256}, Machine{256 * MB, 257, "256 MB", 128},
                      Machine{4096 * MB, 4097, "2000 MB", 1000}, Machine{65536 * MB, 65537, "2000 MB", 1000}));

TEST(AmountLists, TotalLabelsShowKilobytesWithoutTheAddedOne)
{
    FakeMemoryStatus memory;
    memory.snapshot = {523760ull * 1024, 100 * MB, 1267300ull * 1024, 900 * MB};
    RecordingReporter reporter;
    AmountLists lists(memory, reporter);
    lists.initMemory();
    EXPECT_EQ(lists.lblPM.caption(), "Total Physical Memory: 523760 KB");
    EXPECT_EQ(lists.lblVM.caption(), "Total Page File Memory: 1267300 KB");
    EXPECT_EQ(lists.totalPhysicalMB(), 512); // 511.48 MB rounds to 511, plus one
    EXPECT_EQ(lists.totalPageFileMB(), 1239);
}

TEST(AmountLists, A64GBMachineDoesNotOverflow)
{
    FakeMemoryStatus memory;
    memory.snapshot = {64ull * 1024 * MB, 60ull * 1024 * MB, 128ull * 1024 * MB, 100ull * 1024 * MB};
    RecordingReporter reporter;
    AmountLists lists(memory, reporter);
    lists.initMemory();
    EXPECT_EQ(lists.totalPhysicalMB(), 65537);
    EXPECT_EQ(lists.totalPageFileMB(), 131073);
    EXPECT_EQ(lists.lblPM.caption(), "Total Physical Memory: 67108864 KB");
    EXPECT_TRUE(reporter.errors.empty());
}

} // namespace
} // namespace nimbrel
