#include "MinisignKey.h"

#include <algorithm>
#include <cstring>

namespace nimbrel {

namespace {

constexpr std::size_t algorithmSize = 2;
constexpr std::size_t idSize = 8;
constexpr std::size_t keySize = 32;
constexpr std::size_t signatureSize = 64;
constexpr std::size_t hashSize = 64;
const std::string untrustedLabel = "untrusted comment: ";
const std::string trustedLabel = "trusted comment: ";

// The lines of a text without their ends, and without the blank lines at the end of the text.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    while (!lines.empty() && lines.back().find_first_not_of(" \t\r") == std::string::npos) lines.pop_back();
    return lines;
}

// A line of a key or a signature without the blanks and the carriage return at its end.
std::string trimmed(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    return line;
}

// The trusted comment as minisign reads and signs it: the line after its label, up to a carriage return or a
// NUL. Blanks at its end are part of it.
std::string trustedComment(const std::string& line)
{
    const std::string comment = line.substr(trustedLabel.size());
    return comment.substr(0, comment.find_first_of(std::string("\r\0", 2)));
}

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// The value of a character of base64's alphabet, -1 for any other.
int base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// The bytes of a base64 line (padded, no blanks) that decodes to exactly the size expected.
std::optional<std::vector<std::uint8_t>> decoded(const std::string& line, std::size_t size)
{
    if (line.size() != (size + 2) / 3 * 4) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    std::uint32_t bits = 0;
    int held = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        // "=" only at the end, as many as the size leaves over.
        if (line[i] == '=') {
            if (i < line.size() - (3 - size % 3) % 3) return std::nullopt;
            continue;
        }
        const int value = base64Value(line[i]);
        if (value < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<std::uint8_t>(bits >> held));
        }
    }
    // The bits after the last byte must be zero: one text for each key.
    if (bytes.size() != size || (bits & ((1u << held) - 1)) != 0) return std::nullopt;
    return bytes;
}

} // namespace

std::optional<MinisignKey> MinisignKey::parse(const std::string& text)
{
    const std::vector<std::string> lines = linesOf(text);
    std::string keyLine;
    if (lines.size() == 1) {
        keyLine = trimmed(lines[0]);
    } else if (lines.size() >= 2 && startsWith(lines[0], untrustedLabel)) {
        keyLine = trimmed(lines[1]);
    } else {
        return std::nullopt;
    }
    const auto bytes = decoded(keyLine, algorithmSize + idSize + keySize);
    if (!bytes || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') return std::nullopt;
    MinisignKey key;
    std::copy_n(bytes->begin() + algorithmSize, idSize, key.id_.begin());
    std::copy_n(bytes->begin() + algorithmSize + idSize, keySize, key.publicKey_.begin());
    return key;
}

std::optional<std::string> MinisignKey::verifiedComment(const std::vector<std::uint8_t>& message,
                                                        const std::string& signatureFile,
                                                        const SignatureCheck& check) const
{
    const std::vector<std::string> lines = linesOf(signatureFile);
    if (lines.size() < 4 || !startsWith(lines[0], untrustedLabel) || !startsWith(lines[2], trustedLabel))
        return std::nullopt;
    const auto signature = decoded(trimmed(lines[1]), algorithmSize + idSize + signatureSize);
    const auto globalSignature = decoded(trimmed(lines[3]), signatureSize);
    if (!signature || !globalSignature) return std::nullopt;
    if (!std::equal(id_.begin(), id_.end(), signature->begin() + algorithmSize)) return std::nullopt;
    const std::uint8_t* fileSignature = signature->data() + algorithmSize + idSize;

    // "Ed" signs the file itself, "ED" its BLAKE2b-512 hash.
    const char algorithm[2] = {static_cast<char>((*signature)[0]), static_cast<char>((*signature)[1])};
    bool fileSigned = false;
    if (std::memcmp(algorithm, "Ed", 2) == 0) {
        fileSigned = check.ed25519Verifies(fileSignature, message.data(), message.size(), publicKey_.data());
    } else if (std::memcmp(algorithm, "ED", 2) == 0) {
        std::array<std::uint8_t, hashSize> hash{};
        check.blake2b512(hash.data(), message.data(), message.size());
        fileSigned = check.ed25519Verifies(fileSignature, hash.data(), hash.size(), publicKey_.data());
    }
    if (!fileSigned) return std::nullopt;

    // The trusted comment counts only with the global signature over the file's signature and the comment.
    std::vector<std::uint8_t> signedComment(fileSignature, fileSignature + signatureSize);
    const std::string comment = trustedComment(lines[2]);
    signedComment.insert(signedComment.end(), comment.begin(), comment.end());
    if (!check.ed25519Verifies(globalSignature->data(), signedComment.data(), signedComment.size(),
                               publicKey_.data()))
        return std::nullopt;
    return comment;
}

} // namespace nimbrel
