#include "ExecutableDirectory.h"

#include <filesystem>
#include <system_error>

namespace nimbrel {

std::string ExecutableDirectory::path()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink(exeLink_, ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return exe.parent_path().string();
}

std::string ExecutableDirectory::startCommand()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink(exeLink_, ec);
    // Linux programs have no extension: "nimbrel-1.2" and "Nimbrel.AppImage" are whole names.
    return ec ? (std::filesystem::path(path()) / "Nimbrel").string() : exe.string();
}

} // namespace nimbrel
