#pragma once

#include <cstdint>

namespace nimbrel {

// The memory figures the program works with, in bytes.
struct MemorySnapshot {
    std::uint64_t totalPhys = 0;     // physical memory the programs may have in all
    std::uint64_t availPhys = 0;     // physical memory new programs can have without paging
    std::uint64_t totalPageFile = 0; // physical memory and swap together (the commit limit)
    std::uint64_t availPageFile = 0; // what of that is still free
};

class MemoryStatus {
public:
    virtual ~MemoryStatus() = default;
    // Reads the figures as they are now.
    virtual MemorySnapshot read() = 0;
};

} // namespace nimbrel
