#include "ProcMeminfoStatus.h"

#include "SmallFile.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace nimbrel {

namespace {

constexpr std::uint64_t kMax = CgroupRoom::noLimit;

struct Meminfo {
    std::uint64_t memTotal = 0;
    std::uint64_t memFree = 0;
    std::uint64_t memAvailable = 0;
    std::uint64_t buffers = 0;
    std::uint64_t cached = 0;
    std::uint64_t swapTotal = 0;
    std::uint64_t swapFree = 0;
    bool hasMemAvailable = false;
};

std::uint64_t add(std::uint64_t a, std::uint64_t b) { return a > kMax - b ? kMax : a + b; }

// The number after "Key:", in bytes ("kB" means 1024). False when there is no number.
bool parseAmount(const char* p, const char* end, std::uint64_t& bytes)
{
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    if (p == end || *p < '0' || *p > '9') return false;
    std::uint64_t v = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        const auto digit = static_cast<std::uint64_t>(*p - '0');
        v = v > (kMax - digit) / 10 ? kMax : v * 10 + digit;
    }
    while (p < end && *p == ' ') ++p;
    if (end - p >= 2 && p[0] == 'k' && p[1] == 'B') v = v > kMax / 1024 ? kMax : v * 1024;
    bytes = v;
    return true;
}

Meminfo parseMeminfo(const char* text, const char* end)
{
    struct Field {
        const char* key;
        std::size_t length;
        std::uint64_t Meminfo::*value;
    };
    static constexpr Field fields[] = {
        {"MemTotal", 8, &Meminfo::memTotal},
        {"MemFree", 7, &Meminfo::memFree},
        {"MemAvailable", 12, &Meminfo::memAvailable},
        {"Buffers", 7, &Meminfo::buffers},
        {"Cached", 6, &Meminfo::cached},
        {"SwapTotal", 9, &Meminfo::swapTotal},
        {"SwapFree", 8, &Meminfo::swapFree},
    };

    Meminfo info;
    constexpr unsigned all = (1u << std::size(fields)) - 1;
    unsigned seen = 0;
    // The fields wanted come first in the kernel's order; once all are seen the rest is not looked at.
    for (const char* line = text; line < end && seen != all;) {
        const char* eol = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(end - line)));
        if (!eol) eol = end;
        const char* colon = static_cast<const char*>(std::memchr(line, ':', static_cast<std::size_t>(eol - line)));
        if (colon) {
            const auto keyLength = static_cast<std::size_t>(colon - line);
            for (std::size_t i = 0; i < std::size(fields); ++i) {
                const Field& field = fields[i];
                if (field.length != keyLength || std::memcmp(line, field.key, keyLength) != 0) continue;
                std::uint64_t bytes = 0;
                if (parseAmount(colon + 1, eol, bytes)) {
                    info.*field.value = bytes;
                    if (field.value == &Meminfo::memAvailable) info.hasMemAvailable = true;
                    seen |= 1u << i;
                }
                break;
            }
        }
        if (eol == end) break;
        line = eol + 1;
    }
    return info;
}

} // namespace

ProcMeminfoStatus::ProcMeminfoStatus(std::string meminfo, const std::string& selfCgroup,
                                     const std::string& cgroupV1MemoryRoot, const std::string& cgroupV2Root)
    : meminfo_(std::move(meminfo)), cgroup_(selfCgroup, cgroupV1MemoryRoot, cgroupV2Root)
{
}

MemorySnapshot ProcMeminfoStatus::read() noexcept
{
    // /proc/meminfo is about 1.5 KB; the fields wanted are all near its top.
    char text[8192];
    const long length = meminfo_.read(text, sizeof text);
    const Meminfo info = length > 0 ? parseMeminfo(text, text + length) : Meminfo{};

    const std::uint64_t memAvailable =
        info.hasMemAvailable ? info.memAvailable : add(info.memFree, add(info.buffers, info.cached));

    MemorySnapshot s;
    s.totalPhys = info.memTotal;
    s.availPhys = memAvailable;
    std::uint64_t swapTotal = info.swapTotal;
    std::uint64_t swapFree = info.swapFree;
    std::uint64_t memorySwapLimit = kMax;
    std::uint64_t memorySwapFree = kMax;
    if (cgroup_.limited()) {
        const CgroupRoom room = cgroup_.room();
        s.totalPhys = std::min(s.totalPhys, room.memoryLimit);
        s.availPhys = std::min(s.availPhys, room.memoryFree);
        swapTotal = std::min(swapTotal, room.swapLimit);
        swapFree = std::min(swapFree, room.swapFree);
        memorySwapLimit = room.memorySwapLimit;
        memorySwapFree = room.memorySwapFree;
    }
    // Whatever a broken file says, nothing has more available than it has in all: free swap that no swap
    // stands behind would let a release's block reach past what memory and swap can hold. The page file's
    // free part is built from the parts so held.
    swapFree = std::min(swapFree, swapTotal);
    s.totalPageFile = std::min(add(s.totalPhys, swapTotal), memorySwapLimit);
    s.availPageFile = std::min(add(std::min(s.availPhys, s.totalPhys), swapFree), memorySwapFree);
    return heldToTotals(s);
}

} // namespace nimbrel
