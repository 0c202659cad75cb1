#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace nimbrel {

// A small file of the program's own, read and written whole.
class TextFile {
public:
    virtual ~TextFile() = default;
    // The file's first bytes, at most maxBytes of them; nothing when no file exists at path. RuntimeError when it
    // exists but cannot be read.
    virtual std::optional<std::string> read(const std::string& path, std::size_t maxBytes) = 0;
    // Replaces the file's bytes in one step. RuntimeError when it cannot, and when the file is one the user may
    // not write; the old file then stays as it was.
    virtual void replace(const std::string& path, const std::string& bytes) = 0;
};

} // namespace nimbrel
