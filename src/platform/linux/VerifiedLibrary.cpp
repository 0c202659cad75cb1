#include "VerifiedLibrary.h"

#include "ConfigFiles.h"
#include "Sha256.h"

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

namespace nimbrel {

namespace {

bool writeAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

VerifiedLibrary::VerifiedLibrary(const std::string& path, const std::string& sha256)
{
    const std::optional<std::string> bytes = configfiles::readRegularFile(path, maxBytes + 1);
    if (!bytes || bytes->size() > maxBytes || sha256.empty() || sha256Hex(*bytes) != sha256) return;
    const int fd = ::memfd_create("nimbrel-library", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return;
    // Sealed before it is opened: nothing can change the bytes the loader maps.
    if (writeAll(fd, *bytes) &&
        ::fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL) == 0) {
        const std::string opened = "/proc/self/fd/" + std::to_string(fd);
        handle_ = ::dlopen(opened.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    // The loader keeps its own mapping.
    ::close(fd);
}

void* VerifiedLibrary::symbol(const char* name) const
{
    return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

} // namespace nimbrel
