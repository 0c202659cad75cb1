#pragma once

#include <cstddef>
#include <cstdint>

namespace nimbrel {

// The BLAKE2b hash of 64 bytes (RFC 7693, no key) of the message into hash: the hash minisign signs in its
// prehashed form.
void blake2b512(std::uint8_t* hash, const std::uint8_t* message, std::size_t size);

} // namespace nimbrel
