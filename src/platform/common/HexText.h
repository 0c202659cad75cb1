#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbrel {

// The bytes as lower-case hexadecimal, two digits a byte (how a digest is written down).
std::string lowerHex(const std::uint8_t* bytes, std::size_t size);

} // namespace nimbrel
