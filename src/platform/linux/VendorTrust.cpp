#include "VendorTrust.h"

#include "ConfigFiles.h"
#include "ElfProgram.h"
#include "MinisignKey.h"

namespace nimbrel {

VendorTrust::VendorTrust(std::string builtInKey, std::string keyFile, std::string model)
    : builtInKey_(std::move(builtInKey)), keyFile_(std::move(keyFile)), model_(std::move(model))
{
}

// Read at every use: a key file put in place while the program runs counts at the next check.
std::optional<MinisignKey> VendorTrust::key()
{
    if (const std::optional<std::string> file = configfiles::readRegularFile(keyFile_)) return MinisignKey::parse(*file);
    if (builtInKey_.empty()) return std::nullopt;
    return MinisignKey::parse(builtInKey_);
}

bool VendorTrust::hasKey()
{
    return key().has_value();
}

bool VendorTrust::signedByVendor(const std::vector<std::uint8_t>& package, const std::string& signatureFile)
{
    const std::optional<MinisignKey> vendor = key();
    return vendor && vendor->verifies(package, signatureFile);
}

bool VendorTrust::runsHere(const std::vector<std::uint8_t>& package)
{
    return runsLikeProgram(package, model_);
}

} // namespace nimbrel
