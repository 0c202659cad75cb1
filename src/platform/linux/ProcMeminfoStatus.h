#pragma once

#include "MemoryCgroup.h"
#include "SmallFile.h"
#include "core/system/MemoryStatus.h"

#include <string>

namespace nimbrel {

// The memory figures from /proc/meminfo, bounded by the limits of the process's memory cgroup (which
// /proc/meminfo does not know about):
//   physical  total MemTotal,            available MemAvailable
//   page file total MemTotal + SwapTotal, available MemAvailable + SwapFree
// each cut down to the tightest cgroup limit and what it leaves free. Kernels before 3.14 have no
// MemAvailable; there it is MemFree + Buffers + Cached, the figure free(1) showed as "-/+ buffers/cache",
// which counts all of the cache as reclaimable and so errs high. Missing fields read as 0.
class ProcMeminfoStatus : public MemoryStatus {
public:
    // The paths are those of the system unless a test points them at recorded files. The cgroup is looked up
    // here, once.
    explicit ProcMeminfoStatus(std::string meminfo = "/proc/meminfo", const std::string& selfCgroup = "/proc/self/cgroup",
                               const std::string& cgroupV1MemoryRoot = "/sys/fs/cgroup/memory",
                               const std::string& cgroupV2Root = "/sys/fs/cgroup");

    // Reads the figures as they are now. Allocates nothing and uses only plain system calls, so a child
    // forked from a multi-threaded process may call it.
    MemorySnapshot read() noexcept override;
    const PagingWords& pagingWords() const override { return swapWords; }

private:
    KeptSmallFile meminfo_;
    MemoryCgroup cgroup_;
};

} // namespace nimbrel
