#pragma once

#include "ProfileCache.h"
#include "SystemProfileDisk.h"
#include "core/system/ProfileFile.h"

#include <string>

namespace nimbrel {

// settings.ini read through the cache and written one key at a time through this system's file calls: a file
// that could not be read, or that may not be written to, is refused; the value it already holds leaves it as it
// is; any other write replaces it in one step.
class StoredProfileFile : public ProfileFile {
public:
    StoredProfileFile();
    std::string readString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string writeFailure() const override { return failure_; }

private:
    bool failed(std::string why);

    SystemProfileDisk disk_;
    ini::ProfileCache cache_;
    std::string failure_;
};

} // namespace nimbrel
