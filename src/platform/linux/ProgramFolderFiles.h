#pragma once

#include "core/system/ProgramFiles.h"

namespace nimbrel {

// The program's folder on disk. A program file is never written in place: the
// new bytes go to a temporary file beside it, reach the disk, and are renamed
// over the old name, which Linux allows while the old program runs. A crash at
// any moment leaves the old program or the new one, never a part of either.
class ProgramFolderFiles : public ProgramFiles {
public:
    std::string executableSuffix() override { return {}; }
    bool remove(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    std::unique_ptr<StagedProgram> stageProgram(const std::string& path) override;
    std::string digest(const std::string& path) override;
    bool replaceWithCopy(const std::string& source, const std::string& target, const std::string& digest) override;
};

} // namespace nimbrel
