#include "AvailableMemory.h"

#include "core/base/Numbers.h"

namespace nimbrel {

std::int32_t bytesToMB(std::uint64_t bytes)
{
    return toInt32(static_cast<double>(bytes) / 1024.0 / 1024.0);
}

std::int32_t availablePhysicalMB(MemoryStatus& status) { return bytesToMB(status.read().availPhys); }

} // namespace nimbrel
