#pragma once

#include "core/system/ProgramFiles.h"

#include <string>

namespace nimbrel {

// A program file written piece by piece to a temporary beside its place, named as a replacement names its own
// (FileReplacement.h: one a kill leaves behind is swept at the next start), mode 0700 (its owner may run it, no one
// else may change it), flushed to the disk and renamed over the name at keep(). Dropped before that, the
// temporary goes with it.
class StagedProgramFile : public StagedProgram {
public:
    explicit StagedProgramFile(std::string target);
    ~StagedProgramFile() override;
    StagedProgramFile(const StagedProgramFile&) = delete;
    StagedProgramFile& operator=(const StagedProgramFile&) = delete;

    // False when the temporary could not be made.
    bool made() const { return fd_ >= 0; }

    bool write(const std::uint8_t* bytes, std::size_t size) override;
    std::uint64_t size() override { return size_; }
    // Ends the writing first: a program open for writing cannot be started.
    std::optional<std::vector<std::uint8_t>> writtenBytes() override;
    std::string writtenDigest() override { return digest_; }
    std::string path() override { return temporary_; }
    bool keep() override;

private:
    // Flushes and closes the temporary; false when a write or the flush failed.
    bool finishWriting();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool writing_ = false;
    bool failed_ = false;
    bool kept_ = false;
    std::uint64_t size_ = 0;
    std::string digest_;
};

} // namespace nimbrel
