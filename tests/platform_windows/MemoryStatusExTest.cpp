#include "platform/windows/MemoryStatusEx.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace nimbrel {
namespace {

// MemTotal of the Linux machine under Wine, in bytes; nothing on Windows itself.
std::optional<std::uint64_t> hostMemTotal()
{
    std::ifstream meminfo("Z:\\proc\\meminfo");
    std::string name;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> name >> kilobytes >> unit) {
        if (name == "MemTotal:") return kilobytes * 1024;
    }
    return std::nullopt;
}

TEST(MemoryStatusEx, TheFiguresAgreeWithEachOther)
{
    const MemorySnapshot memory = MemoryStatusEx().read();
    EXPECT_GT(memory.totalPhys, 0u);
    EXPECT_GT(memory.availPhys, 0u);
    EXPECT_LE(memory.availPhys, memory.totalPhys);
    // The commit limit holds the physical memory and the page files.
    EXPECT_GE(memory.totalPageFile, memory.totalPhys);
    EXPECT_LE(memory.availPageFile, memory.totalPageFile);
}

// A machine of more than 4 GB shows all of it: the 32-bit call would have stopped at 4 GB or wrapped around.
TEST(MemoryStatusEx, TheMachinesWholeMemoryIsShownBeyondFourGigabytes)
{
    const std::optional<std::uint64_t> host = hostMemTotal();
    if (!host) GTEST_SKIP() << "not under Wine: no /proc/meminfo to compare with";
    if (*host <= (4ull << 30)) GTEST_SKIP() << "this machine has no more than 4 GB";
    const MemorySnapshot memory = MemoryStatusEx().read();
    EXPECT_GT(memory.totalPhys, 4ull << 30);
    EXPECT_NEAR(static_cast<double>(memory.totalPhys), static_cast<double>(*host), *host * 0.02);
}

} // namespace
} // namespace nimbrel
