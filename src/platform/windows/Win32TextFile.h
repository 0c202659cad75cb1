#pragma once

#include "core/system/TextFile.h"

namespace nimbrel {

// A small file of the program's own on disk (Launcher.mbl), read whole and replaced in one step through the
// Win32 file calls (WholeFile.h); its text is in the system's ANSI code page.
class Win32TextFile : public TextFile {
public:
    std::optional<std::string> read(const std::string& path, std::size_t maxBytes) override;
    void replace(const std::string& path, const std::string& bytes) override;
    // Text in the code page, or in UTF-8 as earlier versions wrote it.
    std::string decode(const std::string& bytes) override;
    // Nothing where a character has no exact one in the code page: none is written as a look-alike or "?".
    std::optional<std::string> encode(const std::string& text) override;
};

} // namespace nimbrel
