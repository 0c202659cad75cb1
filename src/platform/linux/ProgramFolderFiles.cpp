#include "ProgramFolderFiles.h"

#include "ConfigFiles.h"
#include "FileReplacement.h"
#include "Sha256.h"
#include "StagedProgramFile.h"

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel {

bool ProgramFolderFiles::remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool ProgramFolderFiles::folderWritable(const std::string& folder)
{
    return configfiles::isDirectory(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::unique_ptr<StagedProgram> ProgramFolderFiles::stageProgram(const std::string& path)
{
    auto staged = std::make_unique<StagedProgramFile>(path);
    if (!staged->made()) return nullptr;
    return staged;
}

// Both read the file without following a link: a link planted in its place is not followed to whatever it names.
std::string ProgramFolderFiles::digest(const std::string& path)
{
    const std::optional<std::string> bytes = configfiles::readRegularFile(path, std::string::npos, false);
    return bytes ? sha256Hex(*bytes) : std::string();
}

bool ProgramFolderFiles::replaceWithCopy(const std::string& source, const std::string& target,
                                         const std::string& digest)
{
    const std::optional<std::string> bytes = configfiles::readRegularFile(source, std::string::npos, false);
    if (!bytes || digest.empty() || sha256Hex(*bytes) != digest) return false;
    // A link planted in the target's place is replaced, not written through: the program's own folder is the
    // only place an update writes to.
    struct stat old {};
    const bool regular = ::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const unsigned mode = regular ? (old.st_mode & 0777) : 0755;
    return configfiles::replaceFile(target, *bytes, mode, configfiles::Existing::Replaced,
                                    configfiles::Link::Replaced);
}

} // namespace nimbrel
