#include "SodiumCheck.h"

#include <sodium.h>

namespace nimbrel {

namespace {

bool ed25519Verifies(const std::uint8_t* signature, const std::uint8_t* message, std::size_t size,
                     const std::uint8_t* key)
{
    return sodium_init() >= 0 && crypto_sign_verify_detached(signature, message, size, key) == 0;
}

void blake2b512(std::uint8_t* hash, const std::uint8_t* message, std::size_t size)
{
    crypto_generichash(hash, crypto_generichash_BYTES_MAX, message, size, nullptr, 0);
}

} // namespace

const SignatureCheck& sodiumCheck()
{
    static const SignatureCheck check{ed25519Verifies, blake2b512};
    return check;
}

} // namespace nimbrel
