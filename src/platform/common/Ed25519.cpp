#include "Ed25519.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Arithmetic modulo p = 2^255 - 19 on sixteen limbs of 16 bits held in 64-bit integers, and points of the
// twisted Edwards curve -x^2 + y^2 = 1 + d x^2 y^2 in extended coordinates (X, Y, Z, T), as in TweetNaCl. Its
// constants are worked out from their definitions rather than written out: d = -121665/121666, sqrt(-1) =
// 2^((p-1)/4), and the base point has y = 4/5 and an even x.

namespace nimbrel {

namespace {

using Field = std::array<std::int64_t, 16>;
using Point = std::array<Field, 4>;

Field number(std::int64_t small)
{
    Field f{};
    f[0] = small & 0xffff;
    f[1] = small >> 16;
    return f;
}

void carry(Field& o)
{
    for (int i = 0; i < 16; ++i) {
        o[i] += std::int64_t{1} << 16;
        const std::int64_t c = o[i] >> 16;
        o[(i + 1) * (i < 15)] += c - 1 + 37 * (c - 1) * (i == 15);
        o[i] -= c * (std::int64_t{1} << 16);
    }
}

// p and q swapped when b is 1.
void select(Field& p, Field& q, std::int64_t b)
{
    const std::int64_t mask = ~(b - 1);
    for (int i = 0; i < 16; ++i) {
        const std::int64_t t = mask & (p[i] ^ q[i]);
        p[i] ^= t;
        q[i] ^= t;
    }
}

std::array<std::uint8_t, 32> pack(const Field& n)
{
    Field t = n;
    carry(t);
    carry(t);
    carry(t);
    for (int j = 0; j < 2; ++j) {
        Field m{};
        m[0] = t[0] - 0xffed;
        for (int i = 1; i < 15; ++i) {
            m[i] = t[i] - 0xffff - ((m[i - 1] >> 16) & 1);
            m[i - 1] &= 0xffff;
        }
        m[15] = t[15] - 0x7fff - ((m[14] >> 16) & 1);
        const std::int64_t b = (m[15] >> 16) & 1;
        m[14] &= 0xffff;
        select(t, m, 1 - b);
    }
    std::array<std::uint8_t, 32> o{};
    for (int i = 0; i < 16; ++i) {
        o[2 * i] = static_cast<std::uint8_t>(t[i] & 0xff);
        o[2 * i + 1] = static_cast<std::uint8_t>(t[i] >> 8);
    }
    return o;
}

Field unpack(const std::uint8_t* n)
{
    Field o{};
    for (int i = 0; i < 16; ++i) o[i] = n[2 * i] + (std::int64_t{n[2 * i + 1]} << 8);
    o[15] &= 0x7fff;
    return o;
}

bool differ(const Field& a, const Field& b) { return pack(a) != pack(b); }
int parity(const Field& a) { return pack(a)[0] & 1; }

Field add(const Field& a, const Field& b)
{
    Field o;
    for (int i = 0; i < 16; ++i) o[i] = a[i] + b[i];
    return o;
}

Field subtract(const Field& a, const Field& b)
{
    Field o;
    for (int i = 0; i < 16; ++i) o[i] = a[i] - b[i];
    return o;
}

Field multiply(const Field& a, const Field& b)
{
    std::int64_t t[31] = {};
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 16; ++j) t[i + j] += a[i] * b[j];
    }
    for (int i = 0; i < 15; ++i) t[i] += 38 * t[i + 16];
    Field o;
    for (int i = 0; i < 16; ++i) o[i] = t[i];
    carry(o);
    carry(o);
    return o;
}

// a to the power given as 32 little-endian bytes.
Field power(const Field& a, const std::array<std::uint8_t, 32>& exponent)
{
    Field result = number(1);
    for (int bit = 255; bit >= 0; --bit) {
        result = multiply(result, result);
        if ((exponent[bit / 8] >> (bit % 8)) & 1) result = multiply(result, a);
    }
    return result;
}

// 2^255 - 19 - k, the exponent of a power modulo p, as bytes.
std::array<std::uint8_t, 32> pLess(int k)
{
    std::array<std::uint8_t, 32> e;
    e.fill(0xff);
    e[31] = 0x7f;
    e[0] = static_cast<std::uint8_t>(0xed - k);
    return e;
}

Field inverse(const Field& a) { return power(a, pLess(2)); }

struct Curve {
    Field d;
    Field d2;
    Field rootOfMinusOne;
    Point base;
};

const Curve& curve();

// The point of the encoding, negated (-x for x); false when the bytes encode no point.
bool unpackNegated(Point& r, const std::uint8_t* bytes, const Curve& c)
{
    r[2] = number(1);
    r[1] = unpack(bytes);
    Field num = multiply(r[1], r[1]);
    Field den = multiply(num, c.d);
    num = subtract(num, r[2]);
    den = add(r[2], den);

    const Field den2 = multiply(den, den);
    const Field den4 = multiply(den2, den2);
    const Field den6 = multiply(den4, den2);
    Field t = multiply(multiply(den6, num), den);
    // (p - 5) / 8 = 2^252 - 3
    std::array<std::uint8_t, 32> exponent;
    exponent.fill(0xff);
    exponent[0] = 0xfd;
    exponent[31] = 0x0f;
    t = power(t, exponent);
    t = multiply(multiply(multiply(t, num), den), den);
    r[0] = multiply(t, den);

    Field check = multiply(multiply(r[0], r[0]), den);
    if (differ(check, num)) r[0] = multiply(r[0], c.rootOfMinusOne);
    check = multiply(multiply(r[0], r[0]), den);
    if (differ(check, num)) return false;
    if (parity(r[0]) == (bytes[31] >> 7)) r[0] = subtract(number(0), r[0]);
    r[3] = multiply(r[0], r[1]);
    return true;
}

void addTo(Point& p, const Point& q, const Curve& c)
{
    const Field a = multiply(subtract(p[1], p[0]), subtract(q[1], q[0]));
    const Field b = multiply(add(p[0], p[1]), add(q[0], q[1]));
    const Field cc = multiply(multiply(p[3], q[3]), c.d2);
    Field d = multiply(p[2], q[2]);
    d = add(d, d);
    const Field e = subtract(b, a);
    const Field f = subtract(d, cc);
    const Field g = add(d, cc);
    const Field h = add(b, a);
    p[0] = multiply(e, f);
    p[1] = multiply(h, g);
    p[2] = multiply(g, f);
    p[3] = multiply(e, h);
}

// The point q times the little-endian scalar of that many bytes.
Point times(Point q, const std::uint8_t* scalar, std::size_t bytes, const Curve& c)
{
    Point p = {number(0), number(1), number(1), number(0)};
    for (int bit = static_cast<int>(bytes * 8) - 1; bit >= 0; --bit) {
        if ((scalar[bit / 8] >> (bit % 8)) & 1) {
            addTo(p, q, c);
            addTo(q, q, c);
        } else {
            addTo(q, p, c);
            addTo(p, p, c);
        }
    }
    return p;
}

std::array<std::uint8_t, 32> encode(const Point& p)
{
    const Field zi = inverse(p[2]);
    std::array<std::uint8_t, 32> r = pack(multiply(p[1], zi));
    r[31] ^= static_cast<std::uint8_t>(parity(multiply(p[0], zi)) << 7);
    return r;
}

const Curve& curve()
{
    static const Curve c = [] {
        Curve made;
        made.d = multiply(subtract(number(0), number(121665)), inverse(number(121666)));
        made.d2 = add(made.d, made.d);
        // (p - 1) / 4 = 2^253 - 5
        std::array<std::uint8_t, 32> quarter;
        quarter.fill(0xff);
        quarter[0] = 0xfb;
        quarter[31] = 0x1f;
        made.rootOfMinusOne = power(number(2), quarter);
        const std::array<std::uint8_t, 32> baseY = pack(multiply(number(4), inverse(number(5))));
        Point negated;
        unpackNegated(negated, baseY.data(), made);
        made.base = {subtract(number(0), negated[0]), negated[1], negated[2], number(0)};
        made.base[3] = multiply(made.base[0], made.base[1]);
        return made;
    }();
    return c;
}

// The order of the base point, L = 2^252 + 27742317777372353535851937790883648493, little-endian.
constexpr std::uint8_t kOrder[32] = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
                                     0xa2, 0xde, 0xf9, 0xde, 0x14, 0,    0,    0,    0,    0,    0,
                                     0,    0,    0,    0,    0,    0,    0,    0,    0,    0x10};

bool belowOrder(const std::uint8_t* scalar)
{
    for (int i = 31; i >= 0; --i) {
        if (scalar[i] != kOrder[i]) return scalar[i] < kOrder[i];
    }
    return false;
}

// The 64-byte little-endian number modulo L, by long division a bit at a time. A key with a small-order part
// gives another point for the hash itself than for the hash modulo L, and the check is defined with the latter.
std::array<std::uint8_t, 32> reduced(const std::array<std::uint8_t, 64>& number)
{
    std::array<std::uint8_t, 32> r{};
    for (int bit = 511; bit >= 0; --bit) {
        // r = 2r + bit stays below 2L < 2^254.
        unsigned carry = (number[bit / 8] >> (bit % 8)) & 1u;
        for (std::uint8_t& byte : r) {
            const unsigned doubled = 2u * byte + carry;
            byte = static_cast<std::uint8_t>(doubled);
            carry = doubled >> 8;
        }
        if (belowOrder(r.data())) continue;
        unsigned borrow = 0;
        for (int i = 0; i < 32; ++i) {
            const unsigned difference = r[i] - kOrder[i] - borrow;
            r[i] = static_cast<std::uint8_t>(difference);
            borrow = (difference >> 8) & 1u;
        }
    }
    return r;
}

// True when the bytes hold y below p: each point has one encoding (the sign bit of x aside).
bool canonical(const std::uint8_t* bytes)
{
    const std::array<std::uint8_t, 32> y = pack(unpack(bytes));
    return std::equal(y.begin(), y.end() - 1, bytes) && y[31] == (bytes[31] & 0x7f);
}

// True for the eight points whose order divides 8, eight times which is the neutral point (0, 1). A key or R
// among them signs next to nothing: libsodium refuses them, and so does this check.
bool smallOrder(Point p, const Curve& c)
{
    for (int i = 0; i < 3; ++i) addTo(p, p, c);
    return !differ(p[0], number(0)) && !differ(p[1], p[2]);
}

} // namespace

bool ed25519Verifies(const std::uint8_t* signature, const std::uint8_t* message, std::size_t size,
                     const std::uint8_t* key, Sha512 sha512)
{
    const Curve& c = curve();
    // S at or above the order would let one signature be written several ways.
    if (!belowOrder(signature + 32)) return false;
    Point negatedKey;
    if (!canonical(key) || !unpackNegated(negatedKey, key, c) || smallOrder(negatedKey, c)) return false;

    std::vector<std::uint8_t> hashed(signature, signature + 32);
    hashed.insert(hashed.end(), key, key + 32);
    hashed.insert(hashed.end(), message, message + size);
    const std::optional<std::array<std::uint8_t, 64>> digest = sha512(hashed.data(), hashed.size());
    if (!digest) return false;
    const std::array<std::uint8_t, 32> h = reduced(*digest);

    // [S]B - [h]A must be R, a point of more than small order written as its one encoding.
    Point check = times(negatedKey, h.data(), h.size(), c);
    addTo(check, times(c.base, signature + 32, 32, c), c);
    return std::memcmp(encode(check).data(), signature, 32) == 0 && !smallOrder(check, c);
}

} // namespace nimbrel
