#include "CngSignatureCheck.h"

#include "platform/common/Blake2b.h"
#include "platform/common/Ed25519.h"

#include <windows.h>
#include <bcrypt.h>

namespace nimbrel {

namespace {

// Nothing when CNG refuses.
std::optional<std::array<std::uint8_t, 64>> sha512(const std::uint8_t* message, std::size_t size)
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA512_ALGORITHM, nullptr, 0) != 0) return std::nullopt;
    BCRYPT_HASH_HANDLE hashing = nullptr;
    bool ok = BCryptCreateHash(algorithm, &hashing, nullptr, 0, nullptr, 0, 0) == 0;
    while (ok && size > 0) {
        const ULONG piece = size > 0x10000000 ? 0x10000000 : static_cast<ULONG>(size);
        ok = BCryptHashData(hashing, const_cast<PUCHAR>(message), piece, 0) == 0;
        message += piece;
        size -= piece;
    }
    std::array<std::uint8_t, 64> hash{};
    ok = ok && BCryptFinishHash(hashing, hash.data(), static_cast<ULONG>(hash.size()), 0) == 0;
    if (hashing) BCryptDestroyHash(hashing);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!ok) return std::nullopt;
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
