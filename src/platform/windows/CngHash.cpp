#include "CngHash.h"

#include "platform/common/HexText.h"

#include <windows.h>
#include <bcrypt.h>

namespace nimbrel {

bool cngHash(const wchar_t* algorithm, const std::uint8_t* message, std::size_t size, std::uint8_t* hash,
             std::size_t hashSize)
{
    BCRYPT_ALG_HANDLE provider = nullptr;
    if (BCryptOpenAlgorithmProvider(&provider, algorithm, nullptr, 0) != 0) return false;
    BCRYPT_HASH_HANDLE hashing = nullptr;
    bool ok = BCryptCreateHash(provider, &hashing, nullptr, 0, nullptr, 0, 0) == 0;
    while (ok && size > 0) {
        const ULONG piece = size > 0x10000000 ? 0x10000000 : static_cast<ULONG>(size);
        ok = BCryptHashData(hashing, const_cast<PUCHAR>(message), piece, 0) == 0;
        message += piece;
        size -= piece;
    }
    ok = ok && BCryptFinishHash(hashing, hash, static_cast<ULONG>(hashSize), 0) == 0;
    if (hashing) BCryptDestroyHash(hashing);
    BCryptCloseAlgorithmProvider(provider, 0);
    return ok;
}

std::string sha256Hex(const std::uint8_t* message, std::size_t size)
{
    std::uint8_t hash[32];
    if (!cngHash(BCRYPT_SHA256_ALGORITHM, message, size, hash, sizeof hash)) return {};
    return lowerHex(hash, sizeof hash);
}

} // namespace nimbrel
