#pragma once

#include "PosixProfileDisk.h"
#include "core/system/ProfileFile.h"
#include "platform/common/ProfileCache.h"

#include <string>

namespace nimbrel {

// settings.ini read and written the way the classic private-profile functions do it (the lookup rules are in
// IniText.h), with two differences that a user of the file can only be glad of: the lines a write does not
// touch stay byte for byte as they were, and every write replaces the file in one step, so a crash or a full
// disk leaves the old file or the new one. What was read of the file is kept while the file stays as it was.
class IniProfileFile : public ProfileFile {
public:
    IniProfileFile();
    std::string readString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override;
    bool writeString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::string writeFailure() const override { return failure_; }

private:
    bool failed(std::string why);

    PosixProfileDisk disk_;
    ini::ProfileCache cache_;
    std::string failure_;
};

} // namespace nimbrel
