#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace nimbrel {

// The SHA-512 hash (64 bytes) of the message, from the system's cryptography; nothing when it fails. No stand-in
// hash will do: with h = 0, R = [S]B would pass for any key and message.
using Sha512 = std::optional<std::array<std::uint8_t, 64>> (*)(const std::uint8_t* message, std::size_t size);

// True when signature (64 bytes, R then S) is the Ed25519 signature (RFC 8032) of the message by key (32 bytes);
// false when the hash cannot be had.
// Only a check, with nothing secret in it: it need not take the same time whatever the bytes.
bool ed25519Verifies(const std::uint8_t* signature, const std::uint8_t* message, std::size_t size,
                     const std::uint8_t* key, Sha512 sha512);

} // namespace nimbrel
