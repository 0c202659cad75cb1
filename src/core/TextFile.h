#pragma once

#include <optional>
#include <string>

namespace nimbrel {

// A small file of the program's own, read and written whole.
class TextFile {
public:
    virtual ~TextFile() = default;
    // The file's bytes; nothing when no file exists at path. RuntimeError when it exists but cannot be read.
    virtual std::optional<std::string> read(const std::string& path) = 0;
    // Replaces the file's bytes in one step. RuntimeError when it cannot; the old file then stays as it was.
    virtual void replace(const std::string& path, const std::string& bytes) = 0;
};

} // namespace nimbrel
