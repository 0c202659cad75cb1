#pragma once

#include <string>

namespace nimbrel {

// The SHA-256 of the bytes, in lower-case hexadecimal.
std::string sha256Hex(const std::string& bytes);

} // namespace nimbrel
