#include "Blake2b.h"

#include <array>
#include <cstring>

namespace nimbrel {

namespace {

constexpr std::size_t kBlock = 128;

constexpr std::array<std::uint64_t, 8> kIv = {0x6a09e667f3bcc908ull, 0xbb67ae8584caa73bull, 0x3c6ef372fe94f82bull,
                                              0xa54ff53a5f1d36f1ull, 0x510e527fade682d1ull, 0x9b05688c2b3e6c1full,
                                              0x1f83d9abfb41bd6bull, 0x5be0cd19137e2179ull};

constexpr std::uint8_t kSigma[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4}, {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13}, {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11}, {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5}, {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
};

std::uint64_t rotateRight(std::uint64_t x, int n) { return (x >> n) | (x << (64 - n)); }

std::uint64_t littleEndian(const std::uint8_t* at)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

void mix(std::uint64_t* v, int a, int b, int c, int d, std::uint64_t x, std::uint64_t y)
{
    v[a] = v[a] + v[b] + x;
    v[d] = rotateRight(v[d] ^ v[a], 32);
    v[c] = v[c] + v[d];
    v[b] = rotateRight(v[b] ^ v[c], 24);
    v[a] = v[a] + v[b] + y;
    v[d] = rotateRight(v[d] ^ v[a], 16);
    v[c] = v[c] + v[d];
    v[b] = rotateRight(v[b] ^ v[c], 63);
}

void compress(std::array<std::uint64_t, 8>& h, const std::uint8_t* block, std::uint64_t counted, bool last)
{
    std::uint64_t m[16];
    for (int i = 0; i < 16; ++i) m[i] = littleEndian(block + 8 * i);
    std::uint64_t v[16];
    for (int i = 0; i < 8; ++i) {
        v[i] = h[i];
        v[i + 8] = kIv[i];
    }
    v[12] ^= counted;
    if (last) v[14] = ~v[14];
    for (int round = 0; round < 12; ++round) {
        const std::uint8_t* s = kSigma[round % 10];
        mix(v, 0, 4, 8, 12, m[s[0]], m[s[1]]);
        mix(v, 1, 5, 9, 13, m[s[2]], m[s[3]]);
        mix(v, 2, 6, 10, 14, m[s[4]], m[s[5]]);
        mix(v, 3, 7, 11, 15, m[s[6]], m[s[7]]);
        mix(v, 0, 5, 10, 15, m[s[8]], m[s[9]]);
        mix(v, 1, 6, 11, 12, m[s[10]], m[s[11]]);
        mix(v, 2, 7, 8, 13, m[s[12]], m[s[13]]);
        mix(v, 3, 4, 9, 14, m[s[14]], m[s[15]]);
    }
    for (int i = 0; i < 8; ++i) h[i] ^= v[i] ^ v[i + 8];
}

} // namespace

void blake2b512(std::uint8_t* hash, const std::uint8_t* message, std::size_t size)
{
    std::array<std::uint64_t, 8> h = kIv;
    // Parameter block: 64 bytes of output, no key, fan-out and depth 1.
    h[0] ^= 0x01010040;
    // Every block but the last is compressed as it comes; the last, padded with zeros, is marked as such.
    std::uint64_t counted = 0;
    while (size > kBlock) {
        counted += kBlock;
        compress(h, message, counted, false);
        message += kBlock;
        size -= kBlock;
    }
    std::uint8_t last[kBlock] = {};
    if (size > 0) std::memcpy(last, message, size);
    counted += size;
    compress(h, last, counted, true);
    for (int i = 0; i < 8; ++i) {
        for (int b = 0; b < 8; ++b) hash[8 * i + b] = static_cast<std::uint8_t>(h[i] >> (8 * b));
    }
}

} // namespace nimbrel
