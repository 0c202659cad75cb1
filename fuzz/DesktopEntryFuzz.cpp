// A desktop entry as another program or the user may have left it: its main group, its string escapes and
// its Exec line.

#include "platform/linux/DesktopEntryText.h"

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto group = desktopentry::mainGroup(text)) {
        if (const auto exec = group->find("Exec"); exec != group->end()) {
            const auto command = desktopentry::commandLine(exec->second);
            if (command && (command->empty() || command->front().empty())) std::abort();
        }
    }
    // An escaped string never grows when its escapes are applied.
    if (desktopentry::unescapeString(text).size() > size) std::abort();
    desktopentry::commandLine(text);
    return 0;
}
