#pragma once

#include "core/system/MemoryStatus.h"

#include <cstdint>

namespace nimbrel {

// What a block of a release pass must leave of the memory and swap (the commit) that is still free: max(64 MiB,
// 2% of physical memory). The available figures already leave the system its reserves; the margin covers what
// else happens while a block is written (other programs growing, page tables, the system's own allocations).
std::uint64_t blockMargin(const MemorySnapshot& now);

// True when a block of that size would leave less than the margin: it is refused before anything is taken.
bool blockTooLarge(std::uint64_t bytes, const MemorySnapshot& now);

} // namespace nimbrel
