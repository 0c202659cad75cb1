#pragma once

#include <optional>
#include <string>

namespace nimbrel {

// Starts the user's programs.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // The ending the system's executables carry in their names, empty where they carry none.
    virtual std::string executableSuffix() = 0;
    // True where the system's file names ignore letter case, so that two paths differing only in case name one file.
    virtual bool namesIgnoreCase() = 0;
    // True when an ordinary file (no folder, device or pipe) exists at path.
    virtual bool isOrdinaryFile(const std::string& path) = 0;
    // The name the desktop gives the program at path (an application entry's name); nothing for a plain file.
    virtual std::optional<std::string> desktopName(const std::string& path) = 0;
    // Starts the program at path as a process of its own and returns without waiting for it.
    // RuntimeError when it cannot be started, its description saying why in words the user can act on.
    virtual void start(const std::string& path) = 0;
};

} // namespace nimbrel
