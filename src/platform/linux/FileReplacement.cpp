#include "FileReplacement.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <signal.h>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::configfiles {

namespace {

constexpr std::string_view marker = ".nimbrel-";
constexpr std::string_view ending = ".tmp";

// When this program started: a temporary older than that is no write of this run's, whoever wrote it. Read from
// the coarse clock that file times come from: the fine one runs up to a tick ahead, and a file this run wrote
// within that tick would seem older than the run.
const timespec programStart = [] {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}();

// One replacement at a time in this process, so that every temporary of this process that a replacement finds
// is a leftover of its own (a write whose clean-up failed).
std::mutex replacing;

// The name's start stands in for a name as long as a name can be, so that the temporary's name still fits.
std::string temporaryPrefix(const std::string& name)
{
    return "." + name.substr(0, 200) + std::string(marker);
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
    return temporaryPrefix(name) + std::to_string(::getpid()) + "-" + hex + std::string(ending);
}

// The process that wrote a temporary, from its name; nothing for a name that is no temporary (of the file whose
// prefix is given, when one is).
std::optional<pid_t> writerOf(std::string_view file, std::string_view prefix)
{
    if (!file.starts_with('.') || !file.ends_with(ending)) return std::nullopt;
    const std::size_t at = file.rfind(marker);
    if (at == std::string_view::npos || at == 0) return std::nullopt;
    if (!prefix.empty() && (at + marker.size() != prefix.size() || !file.starts_with(prefix))) return std::nullopt;
    pid_t writer = 0;
    std::size_t i = at + marker.size();
    for (; i < file.size() && file[i] >= '0' && file[i] <= '9' && writer < 100000000; ++i) {
        writer = writer * 10 + (file[i] - '0');
    }
    if (writer <= 0 || i >= file.size() || file[i] != '-') return std::nullopt;
    return writer;
}

// ".tmp-" and six letters or digits: what earlier versions named every temporary.
bool isEarlierTemporary(std::string_view file)
{
    if (file.size() != 11 || !file.starts_with(".tmp-")) return false;
    for (const char c : file.substr(5)) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

// Some file systems keep file times in two-second steps, so a file this run has just made can look older than
// the program there: only a file older by more than that counts as older.
bool olderThanProgram(const struct stat& info)
{
    constexpr time_t slackSeconds = 2;
    return info.st_mtim.tv_sec < programStart.tv_sec - slackSeconds;
}

// Removes the folder's leftovers: those of the file named, or of any file when name is null. A temporary of a
// process that still runs may be a write under way and stays, unless it is this user's and older than this
// program (its process id has been given to another process since); another user's stays while its writer runs.
void sweep(const std::filesystem::path& folder, const std::string* name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::string prefix = name != nullptr ? temporaryPrefix(*name) : std::string();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view file = entry->d_name;
        const std::optional<pid_t> writer = writerOf(file, prefix);
        if (!writer && (name != nullptr || !isEarlierTemporary(file))) continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const bool stale = info.st_uid == ::geteuid() && olderThanProgram(info);
        const bool gone = writer && (*writer == ::getpid() || (::kill(*writer, 0) != 0 && errno == ESRCH));
        if (stale || gone) ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

int createTemporary(const std::filesystem::path& file, unsigned mode, std::string& temporary)
{
    const std::string name = file.filename().string();
    if (name.empty()) return -1;
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = (folder / temporaryName(name)).string();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

std::filesystem::path followLinks(const std::filesystem::path& file)
{
    std::filesystem::path current = file;
    // As many links as the system itself follows in one path.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
        std::error_code failed;
        const std::filesystem::path target = std::filesystem::read_symlink(current, failed);
        if (failed) return current;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current;
}

bool mayWrite(const std::filesystem::path& file)
{
    // access() and not the effective-id check: the kernel's own answer also counts the immutable flag.
    return ::access(file.c_str(), W_OK) == 0;
}

bool replaceFile(const std::filesystem::path& file, const std::string& bytes, unsigned mode, Existing existing,
                 Link link)
{
    const std::lock_guard<std::mutex> lock(replacing);
    const std::filesystem::path target = link == Link::Followed ? followLinks(file) : file;
    const std::string name = target.filename().string();
    if (name.empty()) return false;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    const bool keep = existing == Existing::Kept && exists;
    if (keep && !mayWrite(target)) return false;

    sweep(folder, &name);
    std::string temporary;
    const int fd = createTemporary(target, existing == Existing::Kept && !exists ? mode : 0600, temporary);
    if (fd < 0) return false;

    bool written = true;
    if (keep) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                // Only root may give a file away; anyone else's new file stays their own.
            }
        }
        written = ::fchmod(fd, old.st_mode & 07777) == 0;
    } else if (existing == Existing::Replaced) {
        written = ::fchmod(fd, static_cast<mode_t>(mode)) == 0;
    }
    written = written && writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        // The caller may tell why: errno stays that of the step that failed.
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    syncFolder(folder);
    return true;
}

void removeLeftovers(const std::filesystem::path& folder)
{
    const std::lock_guard<std::mutex> lock(replacing);
    sweep(folder, nullptr);
}

} // namespace nimbrel::configfiles
