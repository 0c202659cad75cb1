#pragma once

#include "core/TextFile.h"

namespace nimbrel {

// A small file of the program's own on disk (Launcher.mbl), read whole and replaced in one step through the
// Win32 file calls (WholeFile.h).
class Win32TextFile : public TextFile {
public:
    std::optional<std::string> read(const std::string& path, std::size_t maxBytes) override;
    void replace(const std::string& path, const std::string& bytes) override;
};

} // namespace nimbrel
