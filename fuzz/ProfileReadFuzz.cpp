// settings.ini as any program may have left it: every read of a key gives at most 254 characters, never fails,
// and gives what a lookup in the text gives, also when the file was rewritten in place a moment ago with the
// same size (one profile reads one input after the other, as the program would across changes of the file).

#include "FuzzFolder.h"
#include "platform/common/IniText.h"
#include "platform/linux/IniProfileFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::FuzzFolder folder;
    static IniProfileFile profile;
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(64);
    const std::string key = input.ConsumeRandomLengthString(64);
    const std::string text = input.ConsumeRemainingBytesAsString();
    const std::string settings = folder.write("settings.ini", text);

    for (const std::string& s : {section, std::string("Memory"), std::string()}) {
        const std::string value = profile.readString(settings, s, key, "default");
        if (value.size() > 254 || value != ini::readValue(text, s, key, "default")) std::abort();
    }
    return 0;
}
