#include "ProgramFolderFiles.h"

#include "ConfigFiles.h"
#include "StagedProgramFile.h"
#include "platform/common/HexText.h"

#include <sodium.h>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel {

namespace {

// The bytes of a regular file, opened without following a link: a link planted in the file's place is not
// followed to whatever it names.
std::optional<std::string> readWithoutLinks(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
        bytes.emplace();
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got == 0) break;
            if (got < 0) {
                if (errno == EINTR) continue;
                bytes.reset();
                break;
            }
            bytes->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

std::string sha256Hex(const std::string& bytes)
{
    unsigned char hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return lowerHex(hash, sizeof hash);
}

} // namespace

bool ProgramFolderFiles::remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool ProgramFolderFiles::folderWritable(const std::string& folder)
{
    return configfiles::isDirectory(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::unique_ptr<StagedProgram> ProgramFolderFiles::stageProgram(const std::string& path)
{
    auto staged = std::make_unique<StagedProgramFile>(path);
    if (!staged->made()) return nullptr;
    return staged;
}

std::string ProgramFolderFiles::digest(const std::string& path)
{
    const std::optional<std::string> bytes = readWithoutLinks(path);
    return bytes ? sha256Hex(*bytes) : std::string();
}

bool ProgramFolderFiles::replaceWithCopy(const std::string& source, const std::string& target,
                                         const std::string& digest)
{
    const std::optional<std::string> bytes = readWithoutLinks(source);
    if (!bytes || digest.empty() || sha256Hex(*bytes) != digest) return false;
    struct stat old {};
    const unsigned mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 0777) : 0755;
    return configfiles::replaceFile(target, *bytes, mode);
}

} // namespace nimbrel
