#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace nimbrel::testing {

// A cgroup of one controller ("memory" or "pids") that a test makes, as root, below the test process's own
// cgroup (v1) or below the root of the unified hierarchy (v2), and removes again when it goes out of scope.
class TestCgroup {
public:
    explicit TestCgroup(const std::string& controller);
    ~TestCgroup();
    TestCgroup(const TestCgroup&) = delete;
    TestCgroup& operator=(const TestCgroup&) = delete;

    // False when the cgroup could not be made; whyNot() says why.
    bool made() const { return !dir_.empty(); }
    const std::string& whyNot() const { return whyNot_; }
    bool v2() const { return v2_; }
    // The path of one of the cgroup's control files.
    std::string file(const std::string& name) const { return dir_ + "/" + name; }

    // Sets the memory limit, and keeps swap out of reach so that the limit is all there is.
    bool limitMemory(std::uint64_t bytes);
    // Writes a control file of the cgroup.
    bool write(const std::string& file, const std::string& value);
    // How many times the OOM killer has killed inside the cgroup.
    std::uint64_t oomKills() const;
    // The most memory the cgroup has used at once, if the kernel keeps the figure.
    std::optional<std::uint64_t> peakUsage() const;

    // Moves a process into the cgroup, or back to the test process's own; its children follow it.
    bool enter(pid_t pid);
    bool leave(pid_t pid);
    // The memory the cgroup may still take before its limit.
    std::uint64_t memoryLeft() const;

    // Runs body in a forked child that is moved into the cgroup before body starts; returns the child's wait
    // status, or -1 when it could not be started or moved. The test process is single-threaded, so the child
    // may allocate; it reports through its exit code, never through the test framework.
    int runInside(const std::function<int()>& body);

private:
    std::string read(const std::string& file) const;
    std::uint64_t number(const std::string& file, const std::string& key) const;

    std::string parent_;
    std::string home_; // on v2, the test process's own cgroup, which is not the parent of ours
    std::string dir_;
    std::string whyNot_;
    bool v2_ = false;
};

} // namespace nimbrel::testing
