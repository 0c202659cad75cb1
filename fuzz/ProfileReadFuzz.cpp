// settings.ini as any program may have left it: every read of a key gives at most 254 characters and never
// fails.

#include "FuzzFolder.h"
#include "platform/linux/IniProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(64);
    const std::string key = input.ConsumeRandomLengthString(64);
    const std::string settings = folder.write("settings.ini", input.ConsumeRemainingBytesAsString());

    IniProfileFile profile;
    for (const std::string& s : {section, std::string("Memory"), std::string()}) {
        if (profile.readString(settings, s, key, "default").size() > 254) std::abort();
    }
    return 0;
}
