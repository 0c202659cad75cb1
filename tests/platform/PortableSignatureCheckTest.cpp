// The standard C++ BLAKE2b and Ed25519 check (what Windows builds use, having no libsodium) agree with
// libsodium: the same hashes, and the same answer for signatures libsodium made and for altered ones.

#include "platform/common/Blake2b.h"
#include "platform/common/Ed25519.h"

#include <gtest/gtest.h>

#include <sodium.h>

#include <array>
#include <vector>

namespace nimbrel {
namespace {

std::array<std::uint8_t, 64> sodiumSha512(const std::uint8_t* message, std::size_t size)
{
    std::array<std::uint8_t, 64> hash{};
    crypto_hash_sha512(hash.data(), message, size);
    return hash;
}

std::vector<std::uint8_t> bytes(std::size_t size, std::uint8_t seed)
{
    std::vector<std::uint8_t> message(size);
    for (std::size_t i = 0; i < size; ++i) message[i] = static_cast<std::uint8_t>(seed + i * 31 + (i >> 7));
    return message;
}

TEST(PortableSignatureCheck, Blake2bHashesAsLibsodiumDoesAtEveryBlockBoundary)
{
    ASSERT_GE(sodium_init(), 0);
    for (const std::size_t size : {0, 1, 127, 128, 129, 255, 256, 257, 5000}) {
        const std::vector<std::uint8_t> message = bytes(size, 7);
        std::array<std::uint8_t, 64> ours{};
        std::array<std::uint8_t, 64> theirs{};
        blake2b512(ours.data(), message.data(), message.size());
        crypto_generichash(theirs.data(), theirs.size(), message.data(), message.size(), nullptr, 0);
        EXPECT_EQ(ours, theirs) << size << " bytes";
    }
}

TEST(PortableSignatureCheck, Ed25519AcceptsWhatLibsodiumSignedAndNothingElse)
{
    ASSERT_GE(sodium_init(), 0);
    for (std::uint8_t round = 0; round < 8; ++round) {
        std::array<std::uint8_t, crypto_sign_PUBLICKEYBYTES> key{};
        std::array<std::uint8_t, crypto_sign_SECRETKEYBYTES> secret{};
        crypto_sign_keypair(key.data(), secret.data());
        const std::vector<std::uint8_t> message = bytes(round * 37u, round);
        std::array<std::uint8_t, crypto_sign_BYTES> signature{};
        crypto_sign_detached(signature.data(), nullptr, message.data(), message.size(), secret.data());
        SCOPED_TRACE(static_cast<int>(round));
        EXPECT_TRUE(ed25519Verifies(signature.data(), message.data(), message.size(), key.data(), sodiumSha512));

        std::vector<std::uint8_t> altered = message;
        altered.push_back(0);
        EXPECT_FALSE(ed25519Verifies(signature.data(), altered.data(), altered.size(), key.data(), sodiumSha512));
        for (const std::size_t at : {0u, 31u, 32u, 63u}) {
            std::array<std::uint8_t, crypto_sign_BYTES> broken = signature;
            broken[at] ^= 0x01;
            EXPECT_FALSE(ed25519Verifies(broken.data(), message.data(), message.size(), key.data(), sodiumSha512))
                << "signature byte " << at;
        }
        std::array<std::uint8_t, crypto_sign_PUBLICKEYBYTES> otherKey = key;
        otherKey[5] ^= 0x10;
        EXPECT_FALSE(ed25519Verifies(signature.data(), message.data(), message.size(), otherKey.data(), sodiumSha512));
    }
}

} // namespace
} // namespace nimbrel
