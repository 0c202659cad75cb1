#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace nimbrel {

// What the memory cgroup of the process allows, tightest level of the hierarchy each; noLimit where none.
struct CgroupRoom {
    static constexpr std::uint64_t noLimit = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t memoryLimit = noLimit;     // memory the cgroup may use
    std::uint64_t memoryFree = noLimit;      // of that, what is not used yet
    std::uint64_t swapLimit = noLimit;       // swap it may use (cgroup v2)
    std::uint64_t swapFree = noLimit;        // of that, what is not used yet
    std::uint64_t memorySwapLimit = noLimit; // memory and swap together (cgroup v1 with swap accounting)
    std::uint64_t memorySwapFree = noLimit;  // of that, what is not used yet
};

// The memory cgroup of the process: the levels from its own up to the root of the hierarchy that set a
// limit, found once when constructed, and the room they leave, read anew on every call.
class MemoryCgroup {
public:
    // selfCgroup is /proc/self/cgroup; v1MemoryRoot the mount of the v1 memory controller; v2Root the mount
    // of the unified hierarchy. Anything unreadable or unknown means no limit.
    MemoryCgroup(const std::string& selfCgroup, const std::string& v1MemoryRoot, const std::string& v2Root);

    // True when some level sets a limit, so room() reads anything at all.
    bool limited() const { return !levels_.empty(); }

    // The room left now. Allocates nothing and uses only open, read and close: safe in a forked child.
    CgroupRoom room() const noexcept;

private:
    // One pair of a limit file and the usage it limits; an empty path means the level does not set it.
    struct Pair {
        std::string limit;
        std::string usage;
    };
    struct Level {
        Pair memory;
        Pair swap;       // v2 memory.swap.max: swap alone
        Pair memorySwap; // v1 memory.memsw.limit_in_bytes: memory and swap together
    };

    void addLevels(const std::string& leaf, const std::string& root, bool v2);

    std::vector<Level> levels_;
};

} // namespace nimbrel
