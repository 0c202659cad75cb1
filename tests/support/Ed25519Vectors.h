#pragma once

// The Ed25519 test vectors of RFC 8032 (section 7.1): TEST 1, 2, 3, 1024 and SHA(abc), each a key, a message
// and the signature its secret key makes of it.

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel::testing {

struct Ed25519Vector {
    std::string name;
    std::vector<std::uint8_t> key;
    std::vector<std::uint8_t> message;
    std::vector<std::uint8_t> signature;
};

const std::vector<Ed25519Vector>& rfc8032Vectors();

// The bytes written as hexadecimal digits.
std::vector<std::uint8_t> fromHex(const std::string& digits);

} // namespace nimbrel::testing
