// A profile's file calls on a POSIX system: stat() for the stamp, open() and read() for the text, the access
// check and a replacement that keeps the file's mode and owner for a write.
#include "platform/common/SystemProfileDisk.h"

#include "FileReplacement.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace nimbrel {

namespace {

std::int64_t nanoseconds(const timespec& time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

ini::FileStamp stampOfStatus(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size), nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

std::optional<ini::FileStamp> SystemProfileDisk::stampOf(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return stampOfStatus(info);
}

// A file that is not there reads as an empty profile. Anything else that cannot be read (a folder in its place,
// no permission, a missing folder on the way) makes the functions give up on the file: defaults on reading,
// failure on writing.
ini::Load SystemProfileDisk::load(const std::string& path, std::string& text, ini::FileStamp& stamp)
{
    // O_NONBLOCK: a pipe put in place of the file must not hang the program; fstat turns it away below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT && isFolder(folderOf(path)) ? ini::Load::Absent : ini::Load::Unreadable;

    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        stamp = stampOfStatus(info);
        text.clear();
        text.reserve(static_cast<std::size_t>(info.st_size));
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            text.append(chunk, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return ok ? ini::Load::Loaded : ini::Load::Unreadable;
}

std::string SystemProfileDisk::writeTarget(const std::string& path)
{
    return configfiles::followLinks(path).string();
}

std::optional<std::string> SystemProfileDisk::writeRefusal(const std::string& path)
{
    if (configfiles::mayWrite(path)) return std::nullopt;
    return std::generic_category().message(errno);
}

// An existing file keeps its permission bits (and, where allowed, its owner); a new one gets the umask's default
// like any editor's.
std::optional<std::string> SystemProfileDisk::replace(const std::string& path, const std::string& text)
{
    if (configfiles::replaceFile(path, text, 0666, configfiles::Existing::Kept)) return std::nullopt;
    return std::generic_category().message(errno);
}

} // namespace nimbrel
