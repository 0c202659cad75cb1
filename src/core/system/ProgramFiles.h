#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// A program file on its way into the folder: written piece by piece to a temporary file beside its place, which
// it takes only at keep(). Dropped before that, it leaves nothing behind.
class StagedProgram {
public:
    virtual ~StagedProgram() = default;
    // Appends the bytes; false when they could not be written.
    virtual bool write(const std::uint8_t* bytes, std::size_t size) = 0;
    // The bytes written so far.
    virtual std::uint64_t size() = 0;
    // What was written, read back from the disk; nothing when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> writtenBytes() = 0;
    // The SHA-256 of the bytes writtenBytes() last gave, in lower-case hexadecimal; empty before. Every later use
    // of the file is checked against it, so that what is used is what was checked.
    virtual std::string writtenDigest() = 0;
    // The temporary file, for a trial start of what was written.
    virtual std::string path() = 0;
    // Puts the file in its place, a program its owner may run, replacing any file of that name; false when it
    // could not.
    virtual bool keep() = 0;
};

// The program's own files beside its executable, as the update handles them.
class ProgramFiles {
public:
    virtual ~ProgramFiles() = default;
    // The ending the system's program files carry in their names ("Nimbrel" + it), empty where they carry none.
    virtual std::string executableSuffix() = 0;
    // Deletes the file; false when it was not there or cannot be deleted.
    virtual bool remove(const std::string& path) = 0;
    // True when files can be created and replaced in the folder.
    virtual bool folderWritable(const std::string& folder) = 0;
    // A program file to be written at path; nothing when its temporary cannot be made.
    virtual std::unique_ptr<StagedProgram> stageProgram(const std::string& path) = 0;
    // The SHA-256 of the bytes of a regular file, in lower-case hexadecimal, opened without following a link;
    // empty when there is no such file or it cannot be read.
    virtual std::string digest(const std::string& path) = 0;
    // Puts a copy of source in target's place in one step, keeping target's mode, when the bytes of source
    // (opened without following a link) have that digest; on failure target is left as it was.
    virtual bool replaceWithCopy(const std::string& source, const std::string& target, const std::string& digest) = 0;
};

} // namespace nimbrel
