#include "MinisignKey.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace nimbrel {

namespace {

constexpr std::size_t algorithmSize = 2;
constexpr std::size_t idSize = 8;
const std::string untrustedLabel = "untrusted comment: ";
const std::string trustedLabel = "trusted comment: ";

// The lines of a text, without their CR LF or LF ends.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// The bytes of a base64 line that decodes to exactly the size expected.
std::optional<std::vector<std::uint8_t>> decoded(const std::string& line, std::size_t size)
{
    std::vector<std::uint8_t> bytes(size + 1);
    std::size_t length = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), line.data(), line.size(), nullptr, &length, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != line.data() + line.size() || length != size)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

bool ready() { return sodium_init() >= 0; }

} // namespace

std::optional<MinisignKey> MinisignKey::parse(const std::string& text)
{
    const std::vector<std::string> lines = linesOf(text);
    std::string keyLine;
    if (lines.size() == 1) {
        keyLine = lines[0];
    } else if (lines.size() == 2 && startsWith(lines[0], untrustedLabel)) {
        keyLine = lines[1];
    } else {
        return std::nullopt;
    }
    const auto bytes = decoded(keyLine, algorithmSize + idSize + crypto_sign_PUBLICKEYBYTES);
    if (!bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') return std::nullopt;
    MinisignKey key;
    std::copy_n(bytes->begin() + algorithmSize, idSize, key.id_.begin());
    std::copy_n(bytes->begin() + algorithmSize + idSize, crypto_sign_PUBLICKEYBYTES, key.publicKey_.begin());
    return key;
}

bool MinisignKey::verifies(const std::vector<std::uint8_t>& message, const std::string& signatureFile) const
{
    if (!ready()) return false;
    const std::vector<std::string> lines = linesOf(signatureFile);
    if (lines.size() != 4 || !startsWith(lines[0], untrustedLabel) || !startsWith(lines[2], trustedLabel))
        return false;
    const auto signature = decoded(lines[1], algorithmSize + idSize + crypto_sign_BYTES);
    const auto globalSignature = decoded(lines[3], crypto_sign_BYTES);
    if (!signature || !globalSignature) return false;
    if (!std::equal(id_.begin(), id_.end(), signature->begin() + algorithmSize)) return false;
    const std::uint8_t* fileSignature = signature->data() + algorithmSize + idSize;

    // "Ed" signs the file itself, "ED" its BLAKE2b-512 hash.
    const char algorithm[2] = {static_cast<char>((*signature)[0]), static_cast<char>((*signature)[1])};
    bool fileSigned = false;
    if (std::memcmp(algorithm, "Ed", 2) == 0) {
        fileSigned = crypto_sign_verify_detached(fileSignature, message.data(), message.size(), publicKey_.data()) == 0;
    } else if (std::memcmp(algorithm, "ED", 2) == 0) {
        std::array<std::uint8_t, crypto_generichash_BYTES_MAX> hash{};
        if (crypto_generichash(hash.data(), hash.size(), message.data(), message.size(), nullptr, 0) != 0) return false;
        fileSigned = crypto_sign_verify_detached(fileSignature, hash.data(), hash.size(), publicKey_.data()) == 0;
    }
    if (!fileSigned) return false;

    // The trusted comment counts only with the global signature over the file's signature and the comment.
    std::vector<std::uint8_t> signedComment(fileSignature, fileSignature + crypto_sign_BYTES);
    const std::string comment = lines[2].substr(trustedLabel.size());
    signedComment.insert(signedComment.end(), comment.begin(), comment.end());
    return crypto_sign_verify_detached(globalSignature->data(), signedComment.data(), signedComment.size(),
                                       publicKey_.data()) == 0;
}

} // namespace nimbrel
