// /proc/meminfo as any kernel (or a container's view of it) may show it, read outside a memory cgroup.

#include "FuzzFolder.h"
#include "platform/linux/ProcMeminfoStatus.h"

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    const std::string meminfo = folder.write("meminfo", fuzz::bytesOf(data, size));
    const std::string none = (folder.path() / "none").string();
    ProcMeminfoStatus status(meminfo, none, none, none);
    const MemorySnapshot snapshot = status.read();
    // The page file counts the physical memory too.
    if (snapshot.totalPageFile < snapshot.totalPhys) std::abort();
    return 0;
}
