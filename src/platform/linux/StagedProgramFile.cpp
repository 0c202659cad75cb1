#include "StagedProgramFile.h"

#include "ConfigFiles.h"

#include <cerrno>
#include <cstdlib>
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
    const std::filesystem::path place(target_);
    const std::filesystem::path folder = place.has_parent_path() ? place.parent_path() : std::filesystem::path(".");
    std::string temporary = (folder / ("." + place.filename().string() + ".tmp-XXXXXX")).string();
    fd_ = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd_ < 0) return;
    temporary_ = temporary;
    writing_ = true;
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
    if (!finishWriting()) return std::nullopt;
    const std::optional<std::string> bytes = configfiles::readRegularFile(temporary_);
    if (!bytes || bytes->size() != size_) return std::nullopt;
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

bool StagedProgramFile::keep()
{
    if (!finishWriting() || ::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
    kept_ = true;
    configfiles::syncFolder(std::filesystem::path(target_).parent_path());
    return true;
}

} // namespace nimbrel
