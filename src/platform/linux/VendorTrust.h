#pragma once

#include "platform/common/MinisignTrust.h"

#include <string>

namespace nimbrel {

// The vendor's key on Linux: signatures checked with libsodium, and a package must be an ELF program of the
// machine the model program is for (by default the one running) that starts here on trial.
class VendorTrust : public MinisignTrust {
public:
    VendorTrust(std::string builtInKey, std::string keyFile, std::string model = "/proc/self/exe");

    bool runsHere(const std::vector<std::uint8_t>& package) override;
    bool startsHere(const std::string& programFile) override;

protected:
    std::optional<std::string> readKeyFile(const std::string& path) override;

private:
    std::string model_;
};

} // namespace nimbrel
