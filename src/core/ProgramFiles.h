#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

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
    // Saves the bytes as a program file that its owner may run, replacing any file of that name.
    virtual bool saveProgram(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
    // Puts a copy of source in target's place in one step, keeping target's mode; on
    // failure target is left as it was.
    virtual bool replaceWithCopy(const std::string& source, const std::string& target) = 0;
};

} // namespace nimbrel
