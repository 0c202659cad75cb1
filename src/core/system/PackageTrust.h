#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// What decides whether a downloaded program may be installed.
class PackageTrust {
public:
    virtual ~PackageTrust() = default;
    // True when there is a vendor's key to check packages against.
    virtual bool hasKey() = 0;
    // True when a key file beside the program is there but holds no key: the built-in key serves instead.
    virtual bool keyFileBroken() = 0;
    // The signature's trusted comment when the signature file is the vendor key's signature of exactly these
    // bytes; nothing otherwise.
    virtual std::optional<std::string> signedByVendor(const std::vector<std::uint8_t>& package,
                                                      const std::string& signatureFile) = 0;
    // True when the bytes are a program this machine can run.
    virtual bool runsHere(const std::vector<std::uint8_t>& package) = 0;
    // True when the program (these bytes, not a file that could change meanwhile), started on trial, came up on
    // this machine and ended well within a short time.
    virtual bool startsHere(const std::vector<std::uint8_t>& program) = 0;
};

} // namespace nimbrel
