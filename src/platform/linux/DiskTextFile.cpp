#include "DiskTextFile.h"

#include "ConfigFiles.h"
#include "FileReplacement.h"
#include "core/base/RuntimeError.h"

#include <cerrno>
#include <sys/stat.h>

namespace nimbrel {

namespace {

RuntimeError accessError() { return RuntimeError(75, "Path/File access error"); }

} // namespace

std::optional<std::string> DiskTextFile::read(const std::string& path, std::size_t maxBytes)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return std::nullopt;
    auto bytes = configfiles::readRegularFile(path, maxBytes);
    if (!bytes) throw accessError();
    return bytes;
}

void DiskTextFile::replace(const std::string& path, const std::string& bytes)
{
    if (!configfiles::replaceFile(path, bytes, 0600, configfiles::Existing::Kept)) throw accessError();
}

} // namespace nimbrel
