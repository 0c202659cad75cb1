#include "MinisignTrust.h"

namespace nimbrel {

MinisignTrust::MinisignTrust(std::string builtInKey, std::string keyFile, const SignatureCheck& check)
    : builtInKey_(std::move(builtInKey)), keyFile_(std::move(keyFile)), check_(check)
{
}

// Read at every use: a key file put in place while the program runs counts at the next check.
std::optional<MinisignKey> MinisignTrust::key()
{
    if (const std::optional<std::string> file = readKeyFile(keyFile_)) {
        if (std::optional<MinisignKey> fileKey = MinisignKey::parse(*file)) return fileKey;
    }
    if (builtInKey_.empty()) return std::nullopt;
    return MinisignKey::parse(builtInKey_);
}

bool MinisignTrust::hasKey()
{
    return key().has_value();
}

bool MinisignTrust::keyFileBroken()
{
    const std::optional<std::string> file = readKeyFile(keyFile_);
    return file && !MinisignKey::parse(*file);
}

std::optional<std::string> MinisignTrust::signedByVendor(const std::vector<std::uint8_t>& package,
                                                         const std::string& signatureFile)
{
    const std::optional<MinisignKey> vendor = key();
    if (!vendor) return std::nullopt;
    return vendor->verifiedComment(package, signatureFile, check_);
}

} // namespace nimbrel
