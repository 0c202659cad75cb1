#pragma once

#include "core/system/MemoryStatus.h"

#include <cstdint>

namespace nimbrel {

// Bytes to whole megabytes, halves to even. Overflow (6) past 32 bits.
std::int32_t bytesToMB(std::uint64_t bytes);

// The available physical memory in whole megabytes that every release decision uses.
std::int32_t availablePhysicalMB(MemoryStatus& status);

} // namespace nimbrel
