#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

// What decides whether a downloaded program may be installed.
class PackageTrust {
public:
    virtual ~PackageTrust() = default;
    // True when there is a vendor's key to check packages against.
    virtual bool hasKey() = 0;
    // True when the signature file is the vendor key's signature of exactly these bytes.
    virtual bool signedByVendor(const std::vector<std::uint8_t>& package, const std::string& signatureFile) = 0;
    // True when the bytes are a program this machine can run.
    virtual bool runsHere(const std::vector<std::uint8_t>& package) = 0;
};

} // namespace nimbrel
