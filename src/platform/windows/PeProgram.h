#pragma once

#include <cstdint>
#include <vector>

namespace nimbrel {

// True when the bytes begin as a Windows program (a PE image that is executable and no DLL) for the processor
// this program was built for.
bool runsLikeProgram(const std::vector<std::uint8_t>& bytes);

} // namespace nimbrel
