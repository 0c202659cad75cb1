#include "TestCgroup.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nimbrel::testing {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeFile(const std::string& path, const std::string& value)
{
    std::ofstream out(path);
    out << value;
    out.flush();
    return static_cast<bool>(out);
}

bool listed(const std::string& list, char separator, const std::string& name)
{
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, separator))
        if (item == name) return true;
    return false;
}

int counter = 0;

} // namespace

TestCgroup::TestCgroup(const std::string& controller)
{
    if (::geteuid() != 0) {
        whyNot_ = "making a cgroup needs root";
        return;
    }
    std::ifstream self("/proc/self/cgroup");
    std::string line, v1Path, v2Path;
    bool haveV1 = false, haveV2 = false;
    while (std::getline(self, line)) {
        const auto first = line.find(':');
        const auto second = line.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos) continue;
        const std::string controllers = line.substr(first + 1, second - first - 1);
        if (listed(controllers, ',', controller)) {
            haveV1 = true;
            v1Path = line.substr(second + 1);
        } else if (line.compare(0, 3, "0::") == 0) {
            haveV2 = true;
            v2Path = line.substr(3);
        }
    }
    if (haveV1) {
        parent_ = "/sys/fs/cgroup/" + controller + (v1Path == "/" ? "" : v1Path);
    } else if (haveV2) {
        // Below the root of the unified hierarchy: a cgroup with processes of its own cannot hand controllers
        // down to new children, and the test's own cgroup usually has some.
        std::ifstream available("/sys/fs/cgroup/cgroup.controllers");
        std::string controllers;
        std::getline(available, controllers);
        if (!listed(controllers, ' ', controller)) {
            whyNot_ = "the " + controller + " controller is not enabled in the unified hierarchy";
            return;
        }
        v2_ = true;
        parent_ = "/sys/fs/cgroup";
        home_ = parent_ + (v2Path == "/" ? "" : v2Path);
    } else {
        whyNot_ = "no " + controller + " cgroup in /proc/self/cgroup";
        return;
    }
    if (!isDirectory(parent_)) {
        whyNot_ = "the test's own cgroup " + parent_ + " is not mounted where expected";
        return;
    }

    const std::string dir = parent_ + "/nimbrel-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    if (::mkdir(dir.c_str(), 0755) != 0) {
        whyNot_ = "mkdir " + dir + ": " + std::strerror(errno);
        return;
    }
    // On v2 a child cgroup has a controller only if its parent hands it down.
    std::ifstream handedDown(parent_ + "/cgroup.subtree_control");
    std::string subtree;
    std::getline(handedDown, subtree);
    if (v2_ && !listed(subtree, ' ', controller) && !writeFile(parent_ + "/cgroup.subtree_control", "+" + controller)) {
        ::rmdir(dir.c_str());
        whyNot_ = "cannot enable the " + controller + " controller below " + parent_;
        return;
    }
    dir_ = dir;
}

TestCgroup::~TestCgroup()
{
    if (dir_.empty()) return;
    std::istringstream procs(read("cgroup.procs"));
    std::string pid;
    while (procs >> pid) writeFile(parent_ + "/cgroup.procs", pid);
    // A process that has just exited may still count as a member for a moment.
    for (int attempt = 0; attempt < 200 && ::rmdir(dir_.c_str()) != 0 && errno == EBUSY; ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool TestCgroup::limitMemory(std::uint64_t bytes)
{
    const std::string value = std::to_string(bytes);
    if (v2_) {
        if (!write("memory.max", value)) return false;
        return ::access((dir_ + "/memory.swap.max").c_str(), F_OK) != 0 || write("memory.swap.max", "0");
    }
    if (!write("memory.limit_in_bytes", value)) return false;
    // Memory and swap together may not be less than memory alone, so this comes second.
    return ::access((dir_ + "/memory.memsw.limit_in_bytes").c_str(), F_OK) != 0 ||
           write("memory.memsw.limit_in_bytes", value);
}

bool TestCgroup::write(const std::string& file, const std::string& value)
{
    return writeFile(dir_ + "/" + file, value);
}

std::string TestCgroup::read(const std::string& file) const
{
    std::ifstream in(dir_ + "/" + file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint64_t TestCgroup::number(const std::string& file, const std::string& key) const
{
    std::istringstream in(read(file));
    std::string name;
    std::uint64_t value = 0;
    while (in >> name >> value)
        if (name == key) return value;
    return 0;
}

std::uint64_t TestCgroup::oomKills() const
{
    return v2_ ? number("memory.events", "oom_kill") : number("memory.oom_control", "oom_kill");
}

std::optional<std::uint64_t> TestCgroup::peakUsage() const
{
    std::istringstream in(read(v2_ ? "memory.peak" : "memory.max_usage_in_bytes"));
    std::uint64_t value = 0;
    if (in >> value) return value;
    return std::nullopt;
}

bool TestCgroup::enter(pid_t pid) { return write("cgroup.procs", std::to_string(pid)); }

bool TestCgroup::leave(pid_t pid)
{
    return writeFile((home_.empty() ? parent_ : home_) + "/cgroup.procs", std::to_string(pid));
}

std::uint64_t TestCgroup::memoryLeft() const
{
    std::uint64_t limit = 0, usage = 0;
    std::istringstream(read(v2_ ? "memory.max" : "memory.limit_in_bytes")) >> limit;
    std::istringstream(read(v2_ ? "memory.current" : "memory.usage_in_bytes")) >> usage;
    return limit > usage ? limit - usage : 0;
}

int TestCgroup::runInside(const std::function<int()>& body)
{
    int gate[2];
    if (::pipe(gate) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(gate[0]);
        ::close(gate[1]);
        return -1;
    }
    if (pid == 0) {
        ::close(gate[1]);
        char go = 0;
        if (::read(gate[0], &go, 1) != 1) ::_exit(120);
        ::_exit(body());
    }
    ::close(gate[0]);
    const bool moved = enter(pid);
    if (moved) {
        const char go = 1;
        if (::write(gate[1], &go, 1) != 1) ::kill(pid, SIGKILL);
    }
    ::close(gate[1]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return moved ? status : -1;
}

} // namespace nimbrel::testing
