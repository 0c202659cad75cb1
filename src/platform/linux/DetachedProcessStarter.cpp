#include "DetachedProcessStarter.h"

#include "ChildSignals.h"
#include "ConfigFiles.h"
#include "DesktopEntryText.h"
#include "core/base/RuntimeError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Why two forks: the program must outlive Nimbrel and never become a zombie of it, so it is the child of a
// short-lived middle process that the caller reaps at once. The caller is multi-threaded, so between fork and
// exec only async-signal-safe calls are made; everything the exec needs (the resolved file, the arguments, the
// folder) is prepared before the first fork. A failed exec reports its errno through a pipe that a successful
// exec closes.

namespace nimbrel {

namespace {

// The descriptions say why in the user's words: the launcher shows them.
RuntimeError fileNotFound() { return RuntimeError(53, "File not found"); }
RuntimeError cannotStart() { return RuntimeError(5, "Invalid procedure call or argument"); }
RuntimeError notExecutable() { return RuntimeError(70, "Permission denied: the file is not marked as executable"); }
RuntimeError noCommand() { return RuntimeError(5, "The desktop entry names no command to run"); }
RuntimeError execFailed(int error)
{
    if (error == ENOEXEC) return RuntimeError(5, "The file is not a program this system can run");
    return RuntimeError(5, std::strerror(error));
}

bool endsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool isDesktopEntry(const std::string& path) { return endsWith(path, ".desktop"); }

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A program named without a folder is looked for along PATH, as a shell would.
std::string resolveProgram(const std::string& program)
{
    if (program.find('/') != std::string::npos) return program;
    const char* const pathVariable = std::getenv("PATH");
    const std::string folders = pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const auto end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (isExecutableFile(candidate)) return candidate;
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

struct Command {
    std::vector<std::string> arguments; // the first names the program as given
    std::string file;                   // the file executed
    std::string folder;                 // the working folder
};

// The program runs in another folder than Nimbrel's: a relative name must not change its meaning there.
std::string absolute(const std::string& path)
{
    std::error_code error;
    const auto whole = std::filesystem::absolute(path, error);
    return error ? path : whole.string();
}

Command commandFor(const std::string& path)
{
    if (!isDesktopEntry(path)) {
        if (!isExecutableFile(path)) throw notExecutable();
        const std::string file = absolute(path);
        return {{file}, file, folderOf(file)};
    }
    const auto contents = configfiles::readRegularFile(path);
    const auto keys = contents ? desktopentry::mainGroup(*contents) : std::nullopt;
    const auto exec = keys ? keys->find("Exec") : std::map<std::string, std::string>::const_iterator();
    if (!keys || exec == keys->end()) throw noCommand();
    auto arguments = desktopentry::commandLine(exec->second);
    if (!arguments) throw noCommand();
    // A program for a terminal gets one: the desktop's choice of terminal, where it has made one.
    if (const auto terminal = keys->find("Terminal"); terminal != keys->end() && terminal->second == "true") {
        arguments->insert(arguments->begin(), {"x-terminal-emulator", "-e"});
    }
    const std::string resolved = resolveProgram(arguments->front());
    if (resolved.empty()) throw fileNotFound();
    const std::string file = absolute(resolved);
    // An entry may name its working folder; otherwise the program starts in the user's home.
    std::string folder;
    if (const auto it = keys->find("Path"); it != keys->end() && !it->second.empty()) {
        folder = desktopentry::unescapeString(it->second);
    } else if (const char* home = std::getenv("HOME")) {
        folder = home;
    } else {
        folder = "/";
    }
    return {std::move(*arguments), file, folder};
}

// In the program's process, before it is executed: nothing of Nimbrel's leaks into it.
void becomeProgram(const Command& command, char* const* argv, int report, int highestDescriptor) noexcept
{
    restoreDefaultSignals();
    // Descriptors Nimbrel opened without close-on-exec (a lock file, a socket) stay with Nimbrel; kernels
    // before 5.11 cannot mark them all at once.
    if (::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd <= highestDescriptor; ++fd) {
            const int flags = ::fcntl(fd, F_GETFD);
            if (flags >= 0) ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
        }
    }
    if (::chdir(command.folder.c_str()) != 0 && ::chdir("/") != 0) {
    }
    ::execv(command.file.c_str(), argv);
    const int error = errno;
    while (::write(report, &error, sizeof error) < 0 && errno == EINTR) {
    }
    ::_exit(127);
}

} // namespace

bool DetachedProcessStarter::isOrdinaryFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> DetachedProcessStarter::desktopName(const std::string& path)
{
    if (!isDesktopEntry(path)) return std::nullopt;
    const auto contents = configfiles::readRegularFile(path);
    const auto keys = contents ? desktopentry::mainGroup(*contents) : std::nullopt;
    if (!keys) return std::nullopt;
    const auto name = keys->find("Name");
    if (name == keys->end() || name->second.empty()) return std::nullopt;
    // The name stands before "|" in the list: a "|" of its own would cut the entry there.
    std::string plain = desktopentry::unescapeString(name->second);
    for (char& c : plain) {
        if (c == '|' || c == '\r' || c == '\n') c = ' ';
    }
    return plain;
}

void DetachedProcessStarter::start(const std::string& path)
{
    if (!isOrdinaryFile(path)) throw fileNotFound();
    const Command command = commandFor(path);
    std::vector<char*> argv;
    for (const std::string& argument : command.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    struct rlimit descriptors {};
    const int highestDescriptor =
        ::getrlimit(RLIMIT_NOFILE, &descriptors) == 0 && descriptors.rlim_cur < 65536 ? static_cast<int>(descriptors.rlim_cur) - 1 : 65535;
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) throw cannotStart();
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) becomeProgram(command, argv.data(), report[1], highestDescriptor);
        ::_exit(program < 0 ? 1 : 0);
    }
    ::close(report[1]);
    int status = 0;
    if (middle > 0) {
        while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
        }
    }
    int error = 0;
    ssize_t got;
    while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got > 0) throw execFailed(error);
    if (middle < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) throw cannotStart();
}

} // namespace nimbrel
