#pragma once

#include "platform/common/MinisignTrust.h"

#include <functional>
#include <string>

namespace nimbrel {

// The vendor's key on Linux: signatures checked with libsodium, and a package must be an ELF program of the
// machine the model program is for (by default the one running) that starts here on trial.
class VendorTrust : public MinisignTrust {
public:
    // keepWaiting runs while a trial start waits (the window's events) and stops it when it says false.
    VendorTrust(std::string builtInKey, std::string keyFile, std::string model = "/proc/self/exe",
                std::function<bool()> keepWaiting = {});

    bool runsHere(const std::vector<std::uint8_t>& package) override;
    bool startsHere(const std::vector<std::uint8_t>& program) override;

protected:
    std::optional<std::string> readKeyFile(const std::string& path) override;

private:
    std::string model_;
    std::function<bool()> keepWaiting_;
};

} // namespace nimbrel
