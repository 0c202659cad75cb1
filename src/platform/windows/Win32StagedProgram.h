#pragma once

#include "core/system/ProgramFiles.h"

#include <string>

namespace nimbrel {

// A program file written piece by piece to the temporary of its replacement (WholeFile.h), flushed to the disk
// and moved over its name at keep(). Dropped before that, the temporary goes with it.
class Win32StagedProgram : public StagedProgram {
public:
    explicit Win32StagedProgram(const std::string& target);
    ~Win32StagedProgram() override;
    Win32StagedProgram(const Win32StagedProgram&) = delete;
    Win32StagedProgram& operator=(const Win32StagedProgram&) = delete;

    // False when the temporary could not be made.
    bool made() const { return made_; }

    bool write(const std::uint8_t* bytes, std::size_t size) override;
    std::uint64_t size() override { return size_; }
    // Ends the writing first: a program open for writing cannot be started.
    std::optional<std::vector<std::uint8_t>> writtenBytes() override;
    std::string writtenDigest() override { return digest_; }
    std::string path() override;
    bool keep() override;

private:
    // Flushes and closes the temporary; false when a write or the flush failed.
    bool finishWriting();

    std::wstring target_;
    std::wstring temporary_;
    void* file_ = nullptr;
    bool made_ = false;
    bool failed_ = false;
    bool kept_ = false;
    std::uint64_t size_ = 0;
    std::string digest_;
};

} // namespace nimbrel
