// The start-with-the-desktop entry: any executable path the entry takes is read back from it unchanged.

#include "FuzzFolder.h"
#include "platform/linux/AutostartEntry.h"

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    const std::string executable(fuzz::bytesOf(data, size));
    AutostartEntry entry(folder.path());
    if (!entry.write(executable)) return 0;
    if (entry.executable() != executable) std::abort();
    return 0;
}
