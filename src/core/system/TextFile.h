#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace nimbrel {

// A small file of the program's own, read and written whole, in the system's encoding of text files.
class TextFile {
public:
    virtual ~TextFile() = default;
    // The file's first bytes, at most maxBytes of them; nothing when no file exists at path. RuntimeError when it
    // exists but cannot be read.
    virtual std::optional<std::string> read(const std::string& path, std::size_t maxBytes) = 0;
    // Replaces the file's bytes in one step. RuntimeError when it cannot, and when the file is one the user may
    // not write; the old file then stays as it was.
    virtual void replace(const std::string& path, const std::string& bytes) = 0;

    // The program's text (UTF-8) of bytes that such a file holds: on Windows they are in the ANSI code page; UTF-8
    // is the system's encoding elsewhere, and they are the text as they stand.
    virtual std::string decode(const std::string& bytes) { return bytes; }
    // The bytes that hold text in the system's encoding; nothing when the encoding has no character for a part of it.
    virtual std::optional<std::string> encode(const std::string& text) { return text; }
};

} // namespace nimbrel
