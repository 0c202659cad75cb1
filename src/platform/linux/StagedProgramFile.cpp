#include "StagedProgramFile.h"

#include "ConfigFiles.h"
#include "FileReplacement.h"
#include "Sha256.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel {

namespace {

// A downloaded program is for its owner to run, no one else's to change.
constexpr mode_t downloadedMode = 0700;

} // namespace

StagedProgramFile::StagedProgramFile(std::string target) : target_(std::move(target))
{
    std::string temporary;
    fd_ = configfiles::createTemporary(target_, 0600, temporary);
    if (fd_ < 0) return;
    temporary_ = temporary;
    writing_ = true;
    // The mode whatever the umask.
    if (::fchmod(fd_, downloadedMode) != 0) failed_ = true;
}

StagedProgramFile::~StagedProgramFile()
{
    if (writing_) ::close(fd_);
    if (!temporary_.empty() && !kept_) ::unlink(temporary_.c_str());
}

bool StagedProgramFile::write(const std::uint8_t* bytes, std::size_t size)
{
    if (!writing_ || failed_) return false;
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd_, bytes + done, size - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            failed_ = true;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    size_ += size;
    return true;
}

bool StagedProgramFile::finishWriting()
{
    if (writing_) {
        writing_ = false;
        if (::fsync(fd_) != 0) failed_ = true;
        if (::close(fd_) != 0) failed_ = true;
    }
    return made() && !failed_;
}

std::optional<std::vector<std::uint8_t>> StagedProgramFile::writtenBytes()
{
    digest_.clear();
    if (!finishWriting()) return std::nullopt;
    // Read straight into the bytes handed back, without a link followed: a package is held once in memory.
    const int fd = ::open(temporary_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::vector<std::uint8_t> bytes;
    bool read = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) == size_;
    if (read) {
        bytes.resize(static_cast<std::size_t>(size_));
        std::size_t done = 0;
        while (read && done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) read = false;
            else done += static_cast<std::size_t>(got);
        }
    }
    ::close(fd);
    if (!read) return std::nullopt;
    digest_ = sha256Hex(bytes.data(), bytes.size());
    return bytes;
}

bool StagedProgramFile::keep()
{
    if (!finishWriting() || ::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
    kept_ = true;
    const std::filesystem::path place(target_);
    configfiles::syncFolder(place.has_parent_path() ? place.parent_path() : std::filesystem::path("."));
    return true;
}

} // namespace nimbrel
