#include "Sha256.h"

#include "platform/common/HexText.h"

#include <sodium.h>

namespace nimbrel {

std::string sha256Hex(const std::string& bytes)
{
    unsigned char hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return lowerHex(hash, sizeof hash);
}

} // namespace nimbrel
