#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbrel {

// The hash of the message by CNG's algorithm of that name (BCRYPT_SHA256_ALGORITHM, BCRYPT_SHA512_ALGORITHM)
// into hash, which holds exactly that algorithm's size; false when CNG refuses.
bool cngHash(const wchar_t* algorithm, const std::uint8_t* message, std::size_t size, std::uint8_t* hash,
             std::size_t hashSize);

// The SHA-256 of the message in lower-case hexadecimal; empty when CNG refuses.
std::string sha256Hex(const std::uint8_t* message, std::size_t size);

} // namespace nimbrel
