#pragma once

#include "platform/common/MinisignTrust.h"

#include <functional>
#include <string>

namespace nimbrel {

// The vendor's key on Windows: signatures checked with CNG's SHA-512 and the standard C++ Ed25519 and BLAKE2b,
// and a package must be a Windows program for this processor that starts here on trial
// (platform/windows/Win32TrialStart).
class Win32VendorTrust : public MinisignTrust {
public:
    // keepWaiting runs while a trial start waits (the window's events) and stops it when it says false.
    Win32VendorTrust(std::string builtInKey, std::string keyFile, std::function<bool()> keepWaiting = {});

    bool runsHere(const std::vector<std::uint8_t>& package) override;
    bool startsHere(const std::vector<std::uint8_t>& program) override;

protected:
    std::optional<std::string> readKeyFile(const std::string& path) override;

private:
    std::function<bool()> keepWaiting_;
};

} // namespace nimbrel
