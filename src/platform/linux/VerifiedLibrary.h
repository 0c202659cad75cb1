#pragma once

#include <string>

namespace nimbrel {

// A shared library of the program, loaded only when its bytes are the ones the program was built with. The file
// is read once, its SHA-256 compared with the digest recorded at the build, and the very bytes compared are
// loaded, from a sealed memory file: a file changed or replaced after the check is not what runs, and a library
// that differs is never opened, so none of its code (its constructors included) runs. Loaded, it stays for the
// rest of the run.
class VerifiedLibrary {
public:
    // The most a library may weigh; a larger file is not read.
    static constexpr std::size_t maxBytes = 32 * 1024 * 1024;

    // Loads the file when it has the digest; loaded() tells whether it had and could be loaded.
    VerifiedLibrary(const std::string& path, const std::string& sha256);
    VerifiedLibrary(const VerifiedLibrary&) = delete;
    VerifiedLibrary& operator=(const VerifiedLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    // The address of the library's symbol; null when it has none or nothing was loaded.
    void* symbol(const char* name) const;

private:
    void* handle_ = nullptr;
};

} // namespace nimbrel
