#pragma once

#include <string>

namespace nimbrel {

// Reads and writes profile (INI) files with the observable behaviour of the
// classic private-profile functions.
class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // The value of key in section, the default when the file, section or key is absent; cut at 254 characters.
    virtual std::string readString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& defaultValue) = 0;
    // Stores value under key in section, creating the file, section or key; false when it could not be stored.
    virtual bool writeString(const std::string& path, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
    // Why the last write that could not be stored failed, in the system's words ("No space left on device").
    virtual std::string writeFailure() const = 0;
};

} // namespace nimbrel
