#pragma once

#include "core/system/MemoryBlock.h"

#include <cstdint>

namespace nimbrel {

class Settings;

// The pass a release asks for: the available memory it is to bring about, whether a written block is kept, and
// whether the user's settings (RAM, Method = "Block") rule out the kernel's reclaim.
PassRequest passRequest(Settings& settings, std::int64_t targetMB, bool keep);

} // namespace nimbrel
