// The signature check as Windows builds have it: SHA-512 from CNG under the standard C++ Ed25519, on the
// vectors of RFC 8032.

#include "platform/windows/CngSignatureCheck.h"

#include "support/Ed25519Vectors.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

TEST(CngSignatureCheck, TheVectorsOfRfc8032PassAndNotForAnotherMessage)
{
    const SignatureCheck& check = cngSignatureCheck();
    for (const testing::Ed25519Vector& vector : testing::rfc8032Vectors()) {
        SCOPED_TRACE(vector.name);
        EXPECT_TRUE(check.ed25519Verifies(vector.signature.data(), vector.message.data(), vector.message.size(),
                                          vector.key.data()));
        std::vector<std::uint8_t> other = vector.message;
        other.push_back(0);
        EXPECT_FALSE(
            check.ed25519Verifies(vector.signature.data(), other.data(), other.size(), vector.key.data()));
    }
}

} // namespace
} // namespace nimbrel
