// The standard C++ Ed25519 check and BLAKE2b (what Windows builds use) against libsodium on any bytes: a
// signature (64 bytes), a key (32) and the message after them. Any answer of theirs that differs is a finding.
// The RFC 8032 vectors (seeds/ed25519) let the fuzzer start from signatures that pass.

#include "platform/common/Blake2b.h"
#include "platform/common/Ed25519.h"

#include <sodium.h>

#include <cstdlib>
#include <cstring>

namespace {

std::optional<std::array<std::uint8_t, 64>> sha512(const std::uint8_t* message, std::size_t size)
{
    std::array<std::uint8_t, 64> hash{};
    crypto_hash_sha512(hash.data(), message, size);
    return hash;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = sodium_init() >= 0;
    if (!ready) std::abort();

    std::uint8_t ours[64];
    std::uint8_t theirs[64];
    nimbrel::blake2b512(ours, data, size);
    crypto_generichash(theirs, sizeof theirs, data, size, nullptr, 0);
    if (std::memcmp(ours, theirs, sizeof ours) != 0) std::abort();

    if (size < 96) return 0;
    const std::uint8_t* signature = data;
    const std::uint8_t* key = data + 64;
    const std::uint8_t* message = data + 96;
    const bool accepted = nimbrel::ed25519Verifies(signature, message, size - 96, key, sha512);
    if (accepted != (crypto_sign_verify_detached(signature, message, size - 96, key) == 0)) std::abort();
    return 0;
}
