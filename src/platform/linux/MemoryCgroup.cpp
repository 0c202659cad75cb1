#include "MemoryCgroup.h"

#include "SelfCgroup.h"
#include "SmallFile.h"

#include <algorithm>
#include <cstring>

namespace nimbrel {

namespace {

// At or above this a limit is no limit: cgroup v1 shows its "unlimited" as the largest page-aligned long.
constexpr std::uint64_t kLimitless = std::uint64_t{1} << 62;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Reads a cgroup value file: a byte count, or "max" for no limit. False when unreadable or not a number.
bool readValue(const std::string& path, std::uint64_t& value) noexcept
{
    char text[64];
    const long n = readSmallFile(path.c_str(), text, sizeof text);
    if (n <= 0) return false;
    const char* p = text;
    const char* const end = text + n;
    while (p < end && isBlank(*p)) ++p;
    if (end - p >= 3 && std::memcmp(p, "max", 3) == 0) {
        value = CgroupRoom::noLimit;
        p += 3;
    } else {
        if (p == end || *p < '0' || *p > '9') return false;
        std::uint64_t v = 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            const auto digit = static_cast<std::uint64_t>(*p - '0');
            v = v > (CgroupRoom::noLimit - digit) / 10 ? CgroupRoom::noLimit : v * 10 + digit;
        }
        value = v;
    }
    while (p < end && isBlank(*p)) ++p;
    return p == end;
}

bool isLimit(const std::string& path)
{
    std::uint64_t value = 0;
    return readValue(path, value) && value < kLimitless;
}

void tighten(std::uint64_t& limit, std::uint64_t& free, std::uint64_t newLimit, std::uint64_t newFree)
{
    limit = std::min(limit, newLimit);
    free = std::min(free, newFree);
}

} // namespace

MemoryCgroup::MemoryCgroup(const std::string& selfCgroup, const std::string& v1MemoryRoot, const std::string& v2Root)
{
    const SelfCgroup where = readSelfCgroup(selfCgroup);
    if (where.v1Memory)
        addLevels(where.v1Path, withoutTrailingSlash(v1MemoryRoot), false);
    else if (where.unified)
        addLevels(where.unifiedPath, withoutTrailingSlash(v2Root), true);
}

void MemoryCgroup::addLevels(const std::string& path, const std::string& root, bool v2)
{
    std::string dir = cgroupDirectory(path, root);
    if (dir.empty()) return;

    for (;;) {
        Level level;
        if (v2) {
            level.memory = {dir + "/memory.max", dir + "/memory.current"};
            level.swap = {dir + "/memory.swap.max", dir + "/memory.swap.current"};
        } else {
            level.memory = {dir + "/memory.limit_in_bytes", dir + "/memory.usage_in_bytes"};
            level.memorySwap = {dir + "/memory.memsw.limit_in_bytes", dir + "/memory.memsw.usage_in_bytes"};
        }
        // Only the limits a level sets now are read again on every call; one set later is not seen.
        for (Pair* pair : {&level.memory, &level.swap, &level.memorySwap})
            if (!pair->limit.empty() && !isLimit(pair->limit)) *pair = Pair{};
        if (!level.memory.limit.empty() || !level.swap.limit.empty() || !level.memorySwap.limit.empty())
            levels_.push_back(std::move(level));

        if (dir.size() <= root.size()) break;
        dir.erase(dir.rfind('/'));
    }
}

CgroupRoom MemoryCgroup::room() const noexcept
{
    // Reads one pair; false when the level does not limit it (any more).
    const auto readPair = [](const Pair& pair, std::uint64_t& limit, std::uint64_t& free) {
        if (pair.limit.empty() || !readValue(pair.limit, limit) || limit >= kLimitless) return false;
        std::uint64_t usage = 0;
        if (!readValue(pair.usage, usage)) usage = 0;
        free = limit > usage ? limit - usage : 0;
        return true;
    };

    CgroupRoom room;
    for (const Level& level : levels_) {
        std::uint64_t limit = 0, free = 0;
        if (readPair(level.memory, limit, free)) tighten(room.memoryLimit, room.memoryFree, limit, free);
        if (readPair(level.swap, limit, free)) tighten(room.swapLimit, room.swapFree, limit, free);
        if (readPair(level.memorySwap, limit, free)) tighten(room.memorySwapLimit, room.memorySwapFree, limit, free);
    }
    return room;
}

} // namespace nimbrel
