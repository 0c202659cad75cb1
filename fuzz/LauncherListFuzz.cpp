// Launcher.mbl as a user may have edited it: its lines, and the name and path of each entry. The file the
// launcher writes back holds the same lines.

#include "core/base/RuntimeError.h"
#include "launcher/ProgramEntry.h"

#include <algorithm>
#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = splitLines(bytes);
    if (splitLines(joinLines(lines)) != lines) std::abort();
    // What the start reads of it: the file's lines from the first, as many as the limits allow.
    const ListLines read = listLines(bytes);
    if (read.lines.size() > maxListEntries || read.lines.size() > lines.size()) std::abort();
    if (!std::equal(read.lines.begin(), read.lines.end(), lines.begin())) std::abort();
    if (read.lines.size() < lines.size() && !read.leftOut) std::abort();
    for (const std::string& line : lines) {
        const auto path = programPath(line);
        try {
            const std::string name = programName(line);
            if (!path) std::abort();
            // The entry made again from its parts lists the same program.
            const std::string again = makeEntry(name, *path);
            if (programName(again) != name || programPath(again) != path) std::abort();
        } catch (const RuntimeError& e) {
            if (e.number() != 5 || path) std::abort();
        }
        nameForFile(line, ".exe");
    }
    return 0;
}
