#include "Sha256.h"

#include "platform/common/HexText.h"

#include <sodium.h>

namespace nimbrel {

std::string sha256Hex(const std::uint8_t* bytes, std::size_t size)
{
    unsigned char hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, bytes, size);
    return lowerHex(hash, sizeof hash);
}

} // namespace nimbrel
