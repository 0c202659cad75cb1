#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

// True when the bytes begin as an ELF program (an executable, or a
// position-independent one) of the machine, word size and byte order of the
// program file given, by default the one running now.
bool runsLikeProgram(const std::vector<std::uint8_t>& bytes, const std::string& model = "/proc/self/exe");

} // namespace nimbrel
