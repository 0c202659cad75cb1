#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// The cryptography a check of minisign's signatures needs, from the system's library where it has one.
struct SignatureCheck {
    // True when signature (64 bytes) is key's (32 bytes) Ed25519 signature of the message.
    bool (*ed25519Verifies)(const std::uint8_t* signature, const std::uint8_t* message, std::size_t size,
                            const std::uint8_t* key);
    // The BLAKE2b-512 hash (64 bytes) of the message into hash.
    void (*blake2b512)(std::uint8_t* hash, const std::uint8_t* message, std::size_t size);
};

// An Ed25519 public key in minisign's format, and the check of minisign's
// detached signatures against it: the signature of the file (over the file
// itself, or over its BLAKE2b-512 hash in the prehashed form) and the global
// signature that binds the trusted comment to it.
class MinisignKey {
public:
    // Reads a public key file (an untrusted comment line, then the key's base64
    // line) or the base64 line alone, as minisign reads them: blanks at the ends of
    // the lines and blank lines after the key do not count. Nothing when it is neither.
    static std::optional<MinisignKey> parse(const std::string& text);

    // The trusted comment when the signature file is this key's signature of
    // exactly these bytes; nothing otherwise. As minisign does, it reads the
    // four lines of the signature and leaves whatever follows them alone.
    std::optional<std::string> verifiedComment(const std::vector<std::uint8_t>& message,
                                               const std::string& signatureFile, const SignatureCheck& check) const;

private:
    std::array<std::uint8_t, 8> id_{};
    std::array<std::uint8_t, 32> publicKey_{};
};

} // namespace nimbrel
