#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

// The kernel's own reclaim of a cgroup v2 group (memory.reclaim, Linux 5.19 and later): writing an amount asks
// the kernel to reclaim that much of the group's memory, coldest pages first, to swap or by dropping clean cache,
// with nothing allocated. The group is the highest one, from the process's own up, whose memory.reclaim the
// process may write: on a systemd desktop the user's delegated user@UID.service, which holds the user's programs;
// for root, the root group.
class KernelReclaim {
public:
    // What became of one request.
    enum class Answer {
        Reclaimed, // the kernel reclaimed at least the amount
        NoMore,    // it could not reclaim the whole amount (EAGAIN, EBUSY): nothing more to be had now
        Failed,    // the file refused the request otherwise
    };

    // selfCgroup is /proc/self/cgroup, v2Root the mount of the unified hierarchy. The group is found here, once;
    // none where the memory controller is on cgroup v1 or no level offers a writable memory.reclaim.
    explicit KernelReclaim(const std::string& selfCgroup = "/proc/self/cgroup",
                           const std::string& v2Root = "/sys/fs/cgroup");
    virtual ~KernelReclaim() = default;

    // The memory.reclaim file of the group, empty when none is offered.
    const std::string& file() const { return file_; }
    // True when the file is there and may be written now.
    virtual bool offered() const;

    // Asks the kernel to reclaim bytes from the group; returns when it has, or has given up.
    virtual Answer reclaim(std::uint64_t bytes) const;

private:
    std::string file_;
};

} // namespace nimbrel
