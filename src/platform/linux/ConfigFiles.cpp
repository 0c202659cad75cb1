#include "ConfigFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nimbrel::configfiles {

namespace {

std::filesystem::path homeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

} // namespace

std::filesystem::path configHome()
{
    // Under the XDG base directory rules a relative value is to be ignored.
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    if (configured != nullptr && configured[0] == '/') return configured;
    return homeDirectory() / ".config";
}

std::filesystem::path dataHome()
{
    const char* configured = std::getenv("XDG_DATA_HOME");
    if (configured != nullptr && configured[0] == '/') return configured;
    return homeDirectory() / ".local" / "share";
}

bool isDirectory(const std::filesystem::path& folder)
{
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool makePrivateDirectories(const std::filesystem::path& folder)
{
    std::filesystem::path partial;
    for (const auto& part : folder) {
        if (part.empty()) continue; // the trailing separator of "a/b/"
        partial /= part;
        if (::mkdir(partial.c_str(), 0700) == 0) {
            // mkdir's mode passes through the umask; the folder is ours alone either way.
            if (::chmod(partial.c_str(), 0700) != 0) return false;
        } else if (errno != EEXIST || !isDirectory(partial)) {
            return false;
        }
    }
    return !partial.empty();
}

std::optional<std::string> readRegularFile(const std::filesystem::path& file, std::size_t maxBytes, bool followLinks)
{
    // O_NONBLOCK keeps a pipe left in the file's place from stalling the open.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[8192];
    while (bytes.size() < maxBytes) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, maxBytes - bytes.size()));
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

} // namespace nimbrel::configfiles
