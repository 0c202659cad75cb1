#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// An Ed25519 public key in minisign's format, and the check of minisign's
// detached signatures against it: the signature of the file (over the file
// itself, or over its BLAKE2b-512 hash in the prehashed form) and the global
// signature that binds the trusted comment to it.
class MinisignKey {
public:
    // Reads a public key file (an untrusted comment line, then the key's base64
    // line) or the base64 line alone; nothing when it is neither.
    static std::optional<MinisignKey> parse(const std::string& text);

    // True when the signature file is this key's signature of exactly these bytes.
    bool verifies(const std::vector<std::uint8_t>& message, const std::string& signatureFile) const;

private:
    std::array<std::uint8_t, 8> id_{};
    std::array<std::uint8_t, 32> publicKey_{};
};

} // namespace nimbrel
