#pragma once

#include "core/PackageTrust.h"

#include <optional>
#include <string>

namespace nimbrel {

class MinisignKey;

// The vendor's minisign key decides what may be installed: the key the
// program was built with, or the key file "update-key.pub" beside the
// executable, which takes its place.
class VendorTrust : public PackageTrust {
public:
    // builtInKey: the base64 line of the vendor's public key, empty when the build has none.
    VendorTrust(std::string builtInKey, std::string keyFile, std::string model = "/proc/self/exe");

    bool hasKey() override;
    bool signedByVendor(const std::vector<std::uint8_t>& package, const std::string& signatureFile) override;
    bool runsHere(const std::vector<std::uint8_t>& package) override;

private:
    std::optional<MinisignKey> key();

    std::string builtInKey_;
    std::string keyFile_;
    std::string model_;
};

} // namespace nimbrel
