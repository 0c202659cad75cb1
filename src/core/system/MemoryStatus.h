#pragma once

#include <cstdint>

namespace nimbrel {

// The memory figures the program works with, in bytes.
struct MemorySnapshot {
    std::uint64_t totalPhys = 0;     // physical memory the programs may have in all
    std::uint64_t availPhys = 0;     // physical memory new programs can have without paging
    std::uint64_t totalPageFile = 0; // physical memory and swap together (the commit limit)
    std::uint64_t availPageFile = 0; // what of that is still free

    bool operator==(const MemorySnapshot&) const = default;
};

// The figures held to what they can be, whatever the system or a broken file gave: nothing has more available
// than it has in all, so a block sized on what is available never reaches past what stands behind it.
MemorySnapshot heldToTotals(MemorySnapshot figures);

// How a system names the place idle pages go to when they are paged out, as the user's messages say it.
struct PagingWords {
    const char* system;    // "Linux"
    const char* none;      // "there is no swap space"
    const char* backing;   // "swap": "more than 300 MB of free swap"
    const char* shortNone; // "no swap"
    const char* shortLow;  // "too little swap"
};

// Swap space and zram, and the page file.
extern const PagingWords swapWords;
extern const PagingWords pageFileWords;

class MemoryStatus {
public:
    virtual ~MemoryStatus() = default;
    // Reads the figures as they are now.
    virtual MemorySnapshot read() = 0;
    // The words for where this system pages memory out to.
    virtual const PagingWords& pagingWords() const = 0;
};

} // namespace nimbrel
