#include "TrialStart.h"

#include "platform/common/Environment.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace nimbrel {

namespace {

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// The session's own environment, without what would let the trial reach the user's display, bus, files or the
// vendor's server, and with the trial's own homes.
std::vector<std::string> trialEnvironment(const std::filesystem::path& homes)
{
    static const char* const withheld[] = {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM",
                                           "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                           "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "NIMBREL_SERVER", "NIMBREL_PROBE_URL"};
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        bool keep = name != trialStartVariable;
        for (const char* other : withheld) keep = keep && name != other;
        if (keep) variables.push_back(entry);
    }
    variables.push_back(std::string(trialStartVariable) + "=1");
    variables.push_back("QT_QPA_PLATFORM=offscreen");
    for (const char* home : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR"}) {
        const std::filesystem::path folder = homes / home;
        std::filesystem::create_directories(folder);
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        variables.push_back(std::string(home) + "=" + folder.string());
    }
    // A port nothing listens on: an error report the trial would make goes nowhere.
    variables.push_back("NIMBREL_SERVER=http://127.0.0.1:9");
    variables.push_back("NIMBREL_PROBE_URL=http://127.0.0.1:9");
    return variables;
}

bool waitFor(pid_t child, const std::function<bool()>& keepWaiting, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t ended = ::waitpid(child, &status, WNOHANG);
        if (ended == child) break;
        if (ended < 0 && errno != EINTR) return false;
        const bool wait = keepWaiting ? keepWaiting() : (std::this_thread::sleep_for(std::chrono::milliseconds(10)), true);
        if (!wait || std::chrono::steady_clock::now() >= deadline) {
            ::kill(child, SIGKILL);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool startsOnTrial(const std::vector<std::uint8_t>& program, const std::function<bool()>& keepWaiting,
                   std::chrono::milliseconds limit)
{
    // Sealed before it runs: nothing can change the bytes started.
    const int fd = ::memfd_create("nimbrel-trial", MFD_ALLOW_SEALING);
    if (fd < 0) return false;
    if (!writeAll(fd, program) ||
        ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) != 0) {
        ::close(fd);
        return false;
    }
    std::error_code failed;
    std::string pattern = (std::filesystem::temp_directory_path(failed) / "nimbrel-trial-XXXXXX").string();
    if (failed || ::mkdtemp(pattern.data()) == nullptr) {
        ::close(fd);
        return false;
    }
    const std::filesystem::path homes = pattern;

    std::vector<std::string> variables = trialEnvironment(homes);
    std::vector<char*> environment;
    for (std::string& variable : variables) environment.push_back(variable.data());
    environment.push_back(nullptr);
    std::string name = "Nimbrel";
    char* const arguments[] = {name.data(), nullptr};
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);

    // Only what may be called between fork and exec runs in the child.
    const pid_t child = ::fork();
    if (child == 0) {
        if (nothing >= 0) {
            for (const int standard : {0, 1, 2}) ::dup2(nothing, standard);
        }
        ::fexecve(fd, arguments, environment.data());
        ::_exit(127);
    }
    if (nothing >= 0) ::close(nothing);
    ::close(fd);
    const bool started = child > 0 && waitFor(child, keepWaiting, limit);
    std::filesystem::remove_all(homes, failed);
    return started;
}

} // namespace nimbrel
