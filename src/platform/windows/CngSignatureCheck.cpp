#include "CngSignatureCheck.h"

#include "CngHash.h"
#include "platform/common/Blake2b.h"
#include "platform/common/Ed25519.h"

#include <windows.h>
#include <bcrypt.h>

namespace nimbrel {

namespace {

// Nothing when CNG refuses.
std::optional<std::array<std::uint8_t, 64>> sha512(const std::uint8_t* message, std::size_t size)
{
    std::array<std::uint8_t, 64> hash{};
    if (!cngHash(BCRYPT_SHA512_ALGORITHM, message, size, hash.data(), hash.size())) return std::nullopt;
    return hash;
}

bool verifies(const std::uint8_t* signature, const std::uint8_t* message, std::size_t size, const std::uint8_t* key)
{
    return ed25519Verifies(signature, message, size, key, sha512);
}

} // namespace

const SignatureCheck& cngSignatureCheck()
{
    static const SignatureCheck check{verifies, blake2b512};
    return check;
}

} // namespace nimbrel
