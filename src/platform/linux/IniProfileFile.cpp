#include "IniProfileFile.h"

#include "IniText.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace nimbrel {

namespace {

// The caller's buffer holds 255 characters: 254 of a value and the NUL.
constexpr std::size_t kBufferSize = 255;
constexpr std::size_t kLongestValue = kBufferSize - 1;

enum class Load { Loaded, Absent, Unreadable };

std::pair<std::string, std::string> folderAndName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A file that is not there reads as an empty profile. Anything else that cannot be read (a folder in its place,
// no permission, a missing folder on the way) makes the functions give up on the file: defaults on reading,
// failure on writing.
Load loadText(const std::string& path, std::string& text, struct stat& info)
{
    // O_NONBLOCK: a pipe put in place of the file must not hang the program; fstat turns it away below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT && isFolder(folderAndName(path).first) ? Load::Absent : Load::Unreadable;

    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
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
    return ok ? Load::Loaded : Load::Unreadable;
}

// The default loses its trailing spaces (not tabs), all but a first one.
std::string_view withoutTrailingSpaces(std::string_view text)
{
    while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A value as the functions copy it into the caller's buffer: one pair of matching quotes around it goes, and
// the copy holds at most 254 characters. The closing quote is removed as the last character of the copy, so a
// quoted value that only just does not fit loses a character of its own instead.
std::string copiedValue(std::string_view value)
{
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        quoted = true;
        value.remove_prefix(1);
    }
    std::string copy(value.substr(0, kLongestValue));
    if (quoted && kBufferSize >= value.size()) copy.pop_back();
    return copy;
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

std::string IniProfileFile::readString(const std::string& path, const std::string& section, const std::string& key,
                                       const std::string& defaultValue)
{
    const std::string_view fallback = withoutTrailingSpaces(ini::uptoNul(defaultValue));

    std::string text;
    struct stat info {};
    const Load load = loadText(path, text, info);
    if (load == Load::Unreadable) return std::string(fallback.substr(0, kLongestValue));

    const ini::KeyPosition position = ini::findKey(text, section, key);
    if (position.keyFound && position.storedValue) return copiedValue(*position.storedValue);
    return copiedValue(fallback);
}

bool IniProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                 const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    const std::string target = writeTarget(path);

    std::string text;
    struct stat info {};
    const Load load = loadText(target, text, info);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (load == Load::Unreadable) return false;
    const bool exists = load == Load::Loaded;
    // Nor is a file we may not write to, which a read-only settings.ini does on the original platform too.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;

    const std::string_view sectionName = ini::lookupName(section);
    const std::string_view keyName = ini::lookupName(key);
    std::string_view newValue = ini::uptoNul(value);
    while (!newValue.empty() && ini::isBlank(newValue.front())) newValue.remove_prefix(1);

    const ini::KeyPosition position = ini::findKey(text, sectionName, keyName);
    std::string updated;
    if (position.keyFound) {
        // The same value again: the file stays as it is.
        if (position.storedValue && *position.storedValue == newValue) return true;
        // The key keeps the spelling it has in the file.
        updated.append(text, 0, position.keyLineBegin);
        updated.append(position.storedName).append("=").append(newValue).append("\r\n");
        updated.append(text, position.keyLineEnd);
    } else if (position.sectionFound) {
        updated.append(text, 0, position.newKeyAt);
        if (position.newKeyNeedsLineEnd) updated.append("\r\n");
        updated.append(keyName).append("=").append(newValue).append("\r\n");
        updated.append(text, position.newKeyAt);
    } else {
        updated = text;
        if (ini::lacksFinalLineEnd(std::string_view(text).substr(ini::byteOrderMarkLength(text)))) {
            updated.append("\r\n");
        }
        updated.append("[").append(sectionName).append("]\r\n");
        updated.append(keyName).append("=").append(newValue).append("\r\n");
    }
    // The reader passes over a byte order mark at the start of a file, so a first line that begins with those
    // bytes (a key whose name starts with them) gets a mark of its own before it and reads back by its name.
    if (ini::byteOrderMarkLength(text) == 0 && ini::byteOrderMarkLength(updated) != 0) {
        updated.insert(0, "\xEF\xBB\xBF");
    }
    return replaceFile(target, updated, exists ? &info : nullptr);
}

} // namespace nimbrel
