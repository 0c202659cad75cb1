#include "ProgramFolderFiles.h"

#include "ConfigFiles.h"
#include "FileReplacement.h"

#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel {

namespace {

// A downloaded program is for its owner to run, no one else's to change.
constexpr unsigned downloadedMode = 0700;

} // namespace

bool ProgramFolderFiles::remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool ProgramFolderFiles::folderWritable(const std::string& folder)
{
    return configfiles::isDirectory(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool ProgramFolderFiles::saveProgram(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return configfiles::replaceFile(path, std::string(bytes.begin(), bytes.end()), downloadedMode);
}

bool ProgramFolderFiles::replaceWithCopy(const std::string& source, const std::string& target)
{
    const std::optional<std::string> bytes = configfiles::readRegularFile(source);
    if (!bytes) return false;
    struct stat old {};
    const unsigned mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 0777) : 0755;
    return configfiles::replaceFile(target, *bytes, mode);
}

} // namespace nimbrel
