#pragma once

#include "core/TextFile.h"

namespace nimbrel {

// A small file on disk, read whole and replaced in one step (a temporary file beside it, renamed over it).
class DiskTextFile : public TextFile {
public:
    std::optional<std::string> read(const std::string& path) override;
    void replace(const std::string& path, const std::string& bytes) override;
};

} // namespace nimbrel
