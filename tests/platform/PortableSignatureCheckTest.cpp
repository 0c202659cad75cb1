// The standard C++ BLAKE2b and Ed25519 check (what Windows builds use, having no libsodium): the published
// vectors, and the same answers as libsodium for what it signed, for altered signatures, and for the keys and
// signatures it refuses.

#include "platform/common/Blake2b.h"
#include "platform/common/Ed25519.h"

#include "support/Ed25519Vectors.h"

#include <gtest/gtest.h>

#include <sodium.h>

#include <array>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::fromHex;

std::optional<std::array<std::uint8_t, 64>> sodiumSha512(const std::uint8_t* message, std::size_t size)
{
    std::array<std::uint8_t, 64> hash{};
    crypto_hash_sha512(hash.data(), message, size);
    return hash;
}

bool ours(const Bytes& signature, const Bytes& message, const Bytes& key)
{
    return ed25519Verifies(signature.data(), message.data(), message.size(), key.data(), sodiumSha512);
}

bool libsodiums(const Bytes& signature, const Bytes& message, const Bytes& key)
{
    return crypto_sign_verify_detached(signature.data(), message.data(), message.size(), key.data()) == 0;
}

Bytes randomBytes(std::mt19937_64& random, std::size_t size)
{
    Bytes bytes(size);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

void flipBit(Bytes& bytes, std::size_t from, std::size_t size, std::mt19937_64& random)
{
    bytes[from + random() % size] ^= static_cast<std::uint8_t>(1u << (random() % 8));
}

// A scalar below the group's order, and that multiple of the base point.
Bytes randomScalar(std::mt19937_64& random)
{
    Bytes scalar(crypto_core_ed25519_SCALARBYTES);
    crypto_core_ed25519_scalar_reduce(scalar.data(), randomBytes(random, 64).data());
    return scalar;
}

Bytes timesBase(const Bytes& scalar)
{
    Bytes point(crypto_core_ed25519_BYTES);
    EXPECT_EQ(crypto_scalarmult_ed25519_base_noclamp(point.data(), scalar.data()), 0);
    return point;
}

// SHA-512(R, key, message) modulo the order: the h of the check [S]B = R + [h]A.
Bytes hashModOrder(const Bytes& r, const Bytes& key, const Bytes& message)
{
    Bytes hashed = r;
    hashed.insert(hashed.end(), key.begin(), key.end());
    hashed.insert(hashed.end(), message.begin(), message.end());
    const std::array<std::uint8_t, 64> wide = *sodiumSha512(hashed.data(), hashed.size());
    Bytes h(crypto_core_ed25519_SCALARBYTES);
    crypto_core_ed25519_scalar_reduce(h.data(), wide.data());
    return h;
}

Bytes concatenated(Bytes r, const Bytes& s)
{
    r.insert(r.end(), s.begin(), s.end());
    return r;
}

TEST(PortableSignatureCheck, Blake2bGivesTheHashesOfRfc7693)
{
    const auto hashOf = [](const std::string& text) {
        Bytes hash(64);
        blake2b512(hash.data(), reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        return hash;
    };
    EXPECT_EQ(hashOf("abc"), fromHex("ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d1"
                                     "7d87c5392aab792dc252d5de4533cc9518d38aa8dbf1925ab92386edd4009923"));
    EXPECT_EQ(hashOf(""), fromHex("786a02f742015903c6c6fd852552d272912f4740e15847618a86e217f71f5419"
                                  "d25e1031afee585313896444934eb04b903a685b1448b755d56f701afe9be2ce"));
}

TEST(PortableSignatureCheck, Blake2bHashesAsLibsodiumDoesAtEveryBlockBoundary)
{
    ASSERT_GE(sodium_init(), 0);
    std::mt19937_64 random(7693);
    for (const std::size_t size : {1, 127, 128, 129, 255, 256, 257, 5000}) {
        const Bytes message = randomBytes(random, size);
        Bytes ours(64);
        Bytes theirs(64);
        blake2b512(ours.data(), message.data(), message.size());
        crypto_generichash(theirs.data(), theirs.size(), message.data(), message.size(), nullptr, 0);
        EXPECT_EQ(ours, theirs) << size << " bytes";
    }
}

TEST(PortableSignatureCheck, Ed25519AcceptsTheVectorsOfRfc8032AndNoneWithABitFlipped)
{
    std::mt19937_64 random(8032);
    for (const testing::Ed25519Vector& vector : testing::rfc8032Vectors()) {
        SCOPED_TRACE(vector.name);
        EXPECT_TRUE(ours(vector.signature, vector.message, vector.key));
        for (int round = 0; round < 8; ++round) {
            Bytes message = vector.message;
            if (!message.empty()) {
                flipBit(message, 0, message.size(), random);
                EXPECT_FALSE(ours(vector.signature, message, vector.key)) << "message";
            }
            Bytes signature = vector.signature;
            flipBit(signature, 0, 32, random);
            EXPECT_FALSE(ours(signature, vector.message, vector.key)) << "R";
            signature = vector.signature;
            flipBit(signature, 32, 32, random);
            EXPECT_FALSE(ours(signature, vector.message, vector.key)) << "S";
            Bytes key = vector.key;
            flipBit(key, 0, key.size(), random);
            EXPECT_FALSE(ours(vector.signature, vector.message, key)) << "key";
        }
    }
}

TEST(PortableSignatureCheck, Ed25519AnswersAsLibsodiumForRandomKeysMessagesAndCorruptions)
{
    ASSERT_GE(sodium_init(), 0);
    const Bytes order = fromHex("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010");
    std::mt19937_64 random(25519);
    int accepted = 0;
    constexpr int kCases = 200;
    constexpr int kKinds = 8;
    for (int round = 0; round < kCases; ++round) {
        Bytes key(crypto_sign_PUBLICKEYBYTES);
        Bytes secret(crypto_sign_SECRETKEYBYTES);
        crypto_sign_seed_keypair(key.data(), secret.data(), randomBytes(random, crypto_sign_SEEDBYTES).data());
        Bytes message = randomBytes(random, random() % 300);
        Bytes signature(crypto_sign_BYTES);
        crypto_sign_detached(signature.data(), nullptr, message.data(), message.size(), secret.data());

        const int kind = round % kKinds;
        switch (kind) {
        case 0: break;
        case 1:
            if (message.empty()) message.push_back(0);
            else flipBit(message, 0, message.size(), random);
            break;
        case 2: flipBit(signature, 0, 32, random); break;
        case 3: flipBit(signature, 32, 32, random); break;
        case 4: flipBit(key, 0, key.size(), random); break;
        case 5: {
            // S + L: the same S modulo L, written as a number at or above L.
            unsigned carry = 0;
            for (std::size_t i = 0; i < 32; ++i) {
                const unsigned sum = signature[32 + i] + order[i] + carry;
                signature[32 + i] = static_cast<std::uint8_t>(sum);
                carry = sum >> 8;
            }
            break;
        }
        case 6: key = randomBytes(random, key.size()); break;
        default: std::copy_n(randomBytes(random, 32).begin(), 32, signature.begin()); break;
        }
        const bool theirs = libsodiums(signature, message, key);
        EXPECT_EQ(ours(signature, message, key), theirs) << "case " << round << ", kind " << kind;
        accepted += theirs;
    }
    // The unaltered signatures, and only they.
    EXPECT_EQ(accepted, kCases / kKinds);
}

TEST(PortableSignatureCheck, Ed25519TakesTheHashModuloTheOrderForAKeyWithASmallOrderPart)
{
    ASSERT_GE(sodium_init(), 0);
    // A point of order 8, T: the key is [a]B + T. Where h modulo L is a multiple of 8, [h mod L]T is the neutral
    // point and R = [r]B with S = r + h a signs; the unreduced h is that multiple of 8 only by chance.
    const Bytes torsion = fromHex("26e8958fc2b227b045c3f489f2ef98f0d5dfac05d3c63339b13802886d53fc05");
    std::mt19937_64 random(8);
    const Bytes a = randomScalar(random);
    Bytes key(crypto_core_ed25519_BYTES);
    ASSERT_EQ(crypto_core_ed25519_add(key.data(), timesBase(a).data(), torsion.data()), 0);
    for (int made = 0; made < 8;) {
        const Bytes r = randomScalar(random);
        const Bytes message = randomBytes(random, 40);
        const Bytes h = hashModOrder(timesBase(r), key, message);
        if (h[0] % 8 != 0) continue;
        Bytes ha(crypto_core_ed25519_SCALARBYTES);
        crypto_core_ed25519_scalar_mul(ha.data(), h.data(), a.data());
        Bytes s(crypto_core_ed25519_SCALARBYTES);
        crypto_core_ed25519_scalar_add(s.data(), r.data(), ha.data());
        const Bytes signature = concatenated(timesBase(r), s);
        ASSERT_TRUE(libsodiums(signature, message, key)) << made;
        EXPECT_TRUE(ours(signature, message, key)) << made;
        ++made;
    }
}

TEST(PortableSignatureCheck, Ed25519RefusesTheNeutralPointAsKeyOrAsR)
{
    ASSERT_GE(sodium_init(), 0);
    std::mt19937_64 random(1);
    const Bytes message = randomBytes(random, 24);
    const Bytes neutral = fromHex("0100000000000000000000000000000000000000000000000000000000000000");
    // The neutral point as key makes R = [S]B a signature of anything, in its own encoding as in y = p + 1.
    const Bytes s = randomScalar(random);
    for (const Bytes& key : {neutral, fromHex("eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f")})
        EXPECT_FALSE(ours(concatenated(timesBase(s), s), message, key));

    // R as the neutral point: S = h a makes [S]B - [h]A neutral for one who knows a.
    const Bytes a = randomScalar(random);
    const Bytes key = timesBase(a);
    Bytes ha(crypto_core_ed25519_SCALARBYTES);
    crypto_core_ed25519_scalar_mul(ha.data(), hashModOrder(neutral, key, message).data(), a.data());
    EXPECT_FALSE(ours(concatenated(neutral, ha), message, key));
}

TEST(PortableSignatureCheck, Ed25519RefusesEverythingWhenTheHashCannotBeHad)
{
    ASSERT_GE(sodium_init(), 0);
    // With a zero hash standing in, R = [S]B would be every key's signature of anything.
    const auto failing = [](const std::uint8_t*, std::size_t) -> std::optional<std::array<std::uint8_t, 64>> {
        return std::nullopt;
    };
    std::mt19937_64 random(0);
    const Bytes s = randomScalar(random);
    const Bytes signature = concatenated(timesBase(s), s);
    const Bytes key = timesBase(randomScalar(random));
    const Bytes message = randomBytes(random, 10);
    EXPECT_FALSE(ed25519Verifies(signature.data(), message.data(), message.size(), key.data(), failing));
}

} // namespace
} // namespace nimbrel
