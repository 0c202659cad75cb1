#pragma once

#include "core/system/PackageTrust.h"
#include "platform/common/MinisignKey.h"

#include <optional>
#include <string>

namespace nimbrel {

// The vendor's minisign key decides what may be installed: the key the program was built with, or the key file
// "update-key.pub" beside the executable, which takes its place. A key file that holds no key is broken: the
// built-in key serves, and the update says so. Each system reads the key file, checks the signatures with its own
// cryptography and says which programs run on it.
class MinisignTrust : public PackageTrust {
public:
    bool hasKey() override;
    bool keyFileBroken() override;
    std::optional<std::string> signedByVendor(const std::vector<std::uint8_t>& package,
                                              const std::string& signatureFile) override;

protected:
    // builtInKey: the base64 line of the vendor's public key, empty when the build has none.
    MinisignTrust(std::string builtInKey, std::string keyFile, const SignatureCheck& check);
    // The text of the key file; nothing when there is none to read.
    virtual std::optional<std::string> readKeyFile(const std::string& path) = 0;

private:
    std::optional<MinisignKey> key();

    std::string builtInKey_;
    std::string keyFile_;
    const SignatureCheck& check_;
};

} // namespace nimbrel
