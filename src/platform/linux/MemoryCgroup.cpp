#include "MemoryCgroup.h"

#include "SmallFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

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

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// A path that climbs out of the mount ("/../..", shown for a cgroup outside the process's cgroup namespace)
// cannot be found under it.
bool climbsOut(const std::string& path)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (path.compare(start, slash - start, "..") == 0) return true;
        start = slash + 1;
    }
    return false;
}

bool listsMemory(const std::string& controllers)
{
    std::size_t start = 0;
    while (start <= controllers.size()) {
        std::size_t comma = controllers.find(',', start);
        if (comma == std::string::npos) comma = controllers.size();
        if (controllers.compare(start, comma - start, "memory") == 0) return true;
        start = comma + 1;
    }
    return false;
}

void tighten(std::uint64_t& limit, std::uint64_t& free, std::uint64_t newLimit, std::uint64_t newFree)
{
    limit = std::min(limit, newLimit);
    free = std::min(free, newFree);
}

} // namespace

MemoryCgroup::MemoryCgroup(const std::string& selfCgroup, const std::string& v1MemoryRoot, const std::string& v2Root)
{
    // Lines read "hierarchy-id:controllers:path". The memory controller sits in one hierarchy only: a v1 line
    // that lists it, or else the unified hierarchy's line "0::path".
    std::ifstream in(selfCgroup);
    std::string line, v1Path, v2Path;
    bool haveV1 = false, haveV2 = false;
    while (std::getline(in, line)) {
        const std::size_t first = line.find(':');
        if (first == std::string::npos) continue;
        const std::size_t second = line.find(':', first + 1);
        if (second == std::string::npos) continue;
        const std::string id = line.substr(0, first);
        const std::string controllers = line.substr(first + 1, second - first - 1);
        const std::string path = line.substr(second + 1);
        if (listsMemory(controllers)) {
            haveV1 = true;
            v1Path = path;
        } else if (id == "0" && controllers.empty()) {
            haveV2 = true;
            v2Path = path;
        }
    }
    if (haveV1)
        addLevels(v1Path, withoutTrailingSlash(v1MemoryRoot), false);
    else if (haveV2)
        addLevels(v2Path, withoutTrailingSlash(v2Root), true);
}

void MemoryCgroup::addLevels(const std::string& path, const std::string& root, bool v2)
{
    if (path.empty() || path.front() != '/' || climbsOut(path) || !isDirectory(root)) return;
    std::string dir = withoutTrailingSlash(root + path);
    // A mount that shows only the process's own part of the tree (a container without a cgroup namespace)
    // has the process's cgroup at its root.
    if (!isDirectory(dir)) dir = root;

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
