#include "core/system/MemoryStatus.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace nimbrel {

// Total and available memory, then total and available memory with the page file, in bytes.
static void PrintTo(const MemorySnapshot& s, std::ostream* out)
{
    *out << "{" << s.totalPhys << ", " << s.availPhys << ", " << s.totalPageFile << ", " << s.availPageFile << "}";
}

namespace {

constexpr std::uint64_t GB = 1024ull * 1024 * 1024;
constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();

struct FiguresCase {
    const char* name;
    MemorySnapshot given;
    MemorySnapshot held;
};

void PrintTo(const FiguresCase& figures, std::ostream* out)
{
    *out << figures.name;
}

class HeldToTotals : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(HeldToTotals, NothingIsAvailableBeyondItsTotal)
{
    EXPECT_EQ(heldToTotals(GetParam().given), GetParam().held);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, HeldToTotals,
    ::testing::Values(
        FiguresCase{"an8GbMachineWith2GbSwapAsItIs", {8 * GB, 3 * GB, 10 * GB, 4 * GB}, {8 * GB, 3 * GB, 10 * GB, 4 * GB}},
        // A page file that has nothing behind it beyond memory, yet 4 GB of it free.
        FiguresCase{"freePageFileWithoutAPageFile", {8 * GB, 3 * GB, 8 * GB, 12 * GB}, {8 * GB, 3 * GB, 8 * GB, 8 * GB}},
        FiguresCase{"moreMemoryAvailableThanTheMachineHas", {8 * GB, 9 * GB, 10 * GB, 4 * GB},
                    {8 * GB, 8 * GB, 10 * GB, 4 * GB}},
        FiguresCase{"theLargestNumbersAsAvailable", {8 * GB, largest, 10 * GB, largest},
                    {8 * GB, 8 * GB, 10 * GB, 10 * GB}},
        FiguresCase{"noTotalsAtAll", {0, 2 * GB, 0, 3 * GB}, {0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<FiguresCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace nimbrel
