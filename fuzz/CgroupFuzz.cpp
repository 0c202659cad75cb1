// The memory cgroup files: /proc/self/cgroup, and the limit and usage files of two levels of a v2 and of a v1
// hierarchy, whatever they hold. What is free of a limit is never more than the limit.

#include "FuzzFolder.h"
#include "platform/linux/MemoryCgroup.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    FuzzedDataProvider input(data, size);
    const std::string self = folder.write("self", input.ConsumeRandomLengthString(256));
    for (const char* level : {"a", "a/b"}) {
        const std::string v2 = std::string("v2/") + level + "/";
        const std::string v1 = std::string("v1/") + level + "/";
        for (const std::string& file :
             {v2 + "memory.max", v2 + "memory.current", v2 + "memory.swap.max", v2 + "memory.swap.current",
              v1 + "memory.limit_in_bytes", v1 + "memory.usage_in_bytes", v1 + "memory.memsw.limit_in_bytes",
              v1 + "memory.memsw.usage_in_bytes"}) {
            folder.write(file, input.ConsumeRandomLengthString(32));
        }
    }

    const MemoryCgroup cgroup(self, (folder.path() / "v1").string(), (folder.path() / "v2").string());
    const CgroupRoom room = cgroup.room();
    if (room.memoryFree > room.memoryLimit || room.swapFree > room.swapLimit ||
        room.memorySwapFree > room.memorySwapLimit) {
        std::abort();
    }
    return 0;
}
