#include "BlockMargin.h"

#include <algorithm>

namespace nimbrel {

namespace {

constexpr std::uint64_t kMinMargin = 64ull * 1024 * 1024;
constexpr std::uint64_t kMarginPerCent = 2;

} // namespace

std::uint64_t blockMargin(const MemorySnapshot& now)
{
    return std::max(kMinMargin, now.totalPhys / 100 * kMarginPerCent);
}

bool blockTooLarge(std::uint64_t bytes, const MemorySnapshot& now)
{
    const std::uint64_t margin = blockMargin(now);
    return now.availPageFile < margin || bytes > now.availPageFile - margin;
}

} // namespace nimbrel
