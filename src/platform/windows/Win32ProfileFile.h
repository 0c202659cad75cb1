#pragma once

#include "Win32ProfileDisk.h"
#include "core/system/ProfileFile.h"
#include "platform/common/ProfileCache.h"

#include <string>

namespace nimbrel {

// settings.ini read and written by the project's own profile engine (the lookup and edit rules are in
// platform/common/IniText.h), through Win32 file calls. Like on Linux, the lines a write does not touch stay
// byte for byte, and every write replaces the file in one step: a temporary beside it, flushed to the disk,
// moved over it with MoveFileExW, so a crash or a full disk leaves the old file or the new one. What was read
// of the file is kept while the file stays as it was.
class Win32ProfileFile : public ProfileFile {
public:
    Win32ProfileFile();
    std::string readString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string writeFailure() const override { return failure_; }

private:
    bool failed(std::string why);

    Win32ProfileDisk disk_;
    ini::ProfileCache cache_;
    std::string failure_;
};

} // namespace nimbrel
