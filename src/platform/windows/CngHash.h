#pragma once

#include <cstddef>
#include <cstdint>

namespace nimbrel {

// The hash of the message by CNG's algorithm of that name (BCRYPT_SHA256_ALGORITHM, BCRYPT_SHA512_ALGORITHM)
// into hash, which holds exactly that algorithm's size; false when CNG refuses.
bool cngHash(const wchar_t* algorithm, const std::uint8_t* message, std::size_t size, std::uint8_t* hash,
             std::size_t hashSize);

} // namespace nimbrel
