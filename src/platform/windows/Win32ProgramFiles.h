#pragma once

#include "core/system/ProgramFiles.h"

#include <string>

namespace nimbrel {

// The program's folder on Windows. A program file is never written in place: the new bytes go to a temporary
// beside it, reach the disk and are moved over the old name (WholeFile.h). Windows will not let a running program's
// file be replaced, but it lets it be renamed: then the old file is moved aside first, to a name of its own that
// the next replacement clears, and the new one takes its name.
class Win32ProgramFiles : public ProgramFiles {
public:
    std::string executableSuffix() override { return ".exe"; }
    bool remove(const std::string& path) override;
    bool folderWritable(const std::string& folder) override;
    std::unique_ptr<StagedProgram> stageProgram(const std::string& path) override;
    std::string digest(const std::string& path) override;
    bool replaceWithCopy(const std::string& source, const std::string& target, const std::string& digest) override;

    // Where a running program file is moved aside when it is replaced.
    static std::wstring asideFor(const std::wstring& target);
};

} // namespace nimbrel
