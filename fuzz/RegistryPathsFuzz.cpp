// Key paths and value names as a caller may pass them to the registry store: every key folder and value
// file stays inside the store's folder, and a value file is never a key folder.

#include "platform/linux/XdgRegistryStore.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const XdgRegistryStore store("/nonexistent/nimbrel", "/nonexistent/autostart");
    FuzzedDataProvider input(data, size);
    const std::string subKey = input.ConsumeRandomLengthString(256);
    const std::string name = input.ConsumeRemainingBytesAsString();

    const std::filesystem::path root = "/nonexistent/nimbrel";
    for (const std::filesystem::path& path : {store.keyFolder(subKey), store.valueFile(subKey, name)}) {
        const std::filesystem::path inside = path.lexically_normal().lexically_relative(root);
        if (path.empty() || inside.empty() || *inside.begin() == "..") std::abort();
        if (path == root) continue;
        for (const auto& part : path.lexically_relative(root)) {
            if (part == ".." || part == ".") std::abort();
        }
    }
    const std::filesystem::path value = store.valueFile(subKey, name);
    if (value.extension() != ".value" || value.parent_path() != store.keyFolder(subKey)) std::abort();
    return 0;
}
