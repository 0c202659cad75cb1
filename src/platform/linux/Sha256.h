#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbrel {

// The SHA-256 of the bytes, in lower-case hexadecimal.
std::string sha256Hex(const std::uint8_t* bytes, std::size_t size);
inline std::string sha256Hex(const std::string& bytes)
{
    return sha256Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace nimbrel
