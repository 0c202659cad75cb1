#include "IniProfileFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <signal.h>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace nimbrel {

namespace {

std::pair<std::string, std::string> folderAndName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// A symbolic link stays a link: the file it leads to is the one replaced.
std::string writeTarget(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string target(real);
            std::free(real);
            return target;
        }
    }
    return path;
}

// Temporary files are named ".<name>.nimbrel-<process id>-<random>.tmp" beside the file, so that one left by a
// writer that was killed can be recognised and removed later.
std::string temporaryPrefix(const std::string& name)
{
    return "." + name.substr(0, 100) + ".nimbrel-";
}

std::string temporaryName(const std::string& name)
{
    static unsigned counter = 0;
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        random = (static_cast<std::uint64_t>(::getpid()) << 32) ^ ++counter;
    }
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (int shift = 60; shift >= 0; shift -= 4) hex += digits[(random >> shift) & 0xF];
    return temporaryPrefix(name) + std::to_string(::getpid()) + "-" + hex + ".tmp";
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    // Some file systems cannot sync a folder; the rename has happened all the same.
    (void)::fsync(fd);
    ::close(fd);
}

// Removes the temporaries of writers that are gone (killed half-way). A temporary of a process that still runs
// may be a write in progress and stays; this process holds the write lock, so its own are all leftovers.
void removeStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = temporaryPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file = entry->d_name;
        if (!file.starts_with(prefix) || !file.ends_with(".tmp")) continue;
        pid_t writer = 0;
        std::size_t i = prefix.size();
        for (; i < file.size() && file[i] >= '0' && file[i] <= '9' && writer < 100000000; ++i) {
            writer = writer * 10 + (file[i] - '0');
        }
        if (writer <= 0 || i >= file.size() || file[i] != '-') continue;
        const bool gone = writer == ::getpid() || (::kill(writer, 0) != 0 && errno == ESRCH);
        if (gone) ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

// Writes a temporary file beside the target, flushes it to the disk and renames it over the target: readers
// and a crash see the old file or the new one, never a part. An existing file's permission bits (and, where
// allowed, its owner) carry over; a new file gets the umask's default like any editor's.
bool replaceFile(const std::string& target, std::string_view bytes, const struct stat* existing)
{
    const auto [folder, name] = folderAndName(target);
    if (name.empty()) return false;

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = (folder.ends_with('/') ? folder : folder + "/") + temporaryName(name);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existing ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = true;
    if (existing) {
        if (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) {
            if (::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
                // Only root may give a file away; anyone else's new file stays their own.
            }
        }
        ok = ::fchmod(fd, existing->st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folder);
    removeStaleTemporaries(folder, name);
    return true;
}

// One write at a time in this process: each one reads the file, changes one line and replaces the file, and two
// at once would lose one of the changes.
std::mutex writeLock;

} // namespace

IniProfileFile::IniProfileFile() : cache_(disk_) {}

std::string IniProfileFile::readString(const std::string& path, const std::string& section, const std::string& key,
                                       const std::string& defaultValue)
{
    return cache_.read(path, section, key, defaultValue);
}

bool IniProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    const std::string target = writeTarget(path);

    const ini::ProfileCache::Edit edit = cache_.edit(target, section, key, value);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (edit.load == ini::Load::Unreadable) return false;
    struct stat info {};
    const bool exists = edit.load == ini::Load::Loaded && ::stat(target.c_str(), &info) == 0;
    // Nor is a file we may not write to: the profile functions refuse a read-only file as well.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;

    // The same value again: the file stays as it is.
    if (!edit.text) return true;
    cache_.forget();
    return replaceFile(target, *edit.text, exists ? &info : nullptr);
}

} // namespace nimbrel
