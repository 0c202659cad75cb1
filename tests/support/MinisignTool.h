#pragma once

#include <string>

namespace nimbrel::testing {

// Keys and signatures made with the minisign program, as a vendor makes them.
// Each instance owns a fresh key pair in its own temporary folder.
class MinisignTool {
public:
    MinisignTool();
    ~MinisignTool();
    MinisignTool(const MinisignTool&) = delete;
    MinisignTool& operator=(const MinisignTool&) = delete;

    // Empty when the key pair was made; otherwise what went wrong.
    const std::string& failure() const { return failure_; }

    const std::string& publicKeyFile() const { return publicKeyFile_; }
    // The public key file's text, and its base64 line alone.
    std::string publicKeyText() const;
    std::string publicKeyLine() const;

    // The text of a signature file for the file; prehashed unless legacy, the form
    // older minisign versions wrote.
    std::string sign(const std::string& file, bool legacy = false,
                     const std::string& trustedComment = "timestamp:1765000000\tfile:nblupdate.exe") const;

private:
    std::string folder_;
    std::string publicKeyFile_;
    std::string secretKeyFile_;
    std::string failure_;
};

// The whole content of a file, empty when it cannot be read.
std::string fileBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

} // namespace nimbrel::testing
