#pragma once

#include "core/system/TextFile.h"

namespace nimbrel {

// A small file of the user's on disk, read from its start and replaced in one step (a temporary file beside it,
// renamed over it). A symbolic link leads to the file read and replaced; the file keeps its mode, and one the user
// may not write is not replaced.
class DiskTextFile : public TextFile {
public:
    std::optional<std::string> read(const std::string& path, std::size_t maxBytes) override;
    void replace(const std::string& path, const std::string& bytes) override;
};

} // namespace nimbrel
