#pragma once

#include "core/system/ProcessStarter.h"

namespace nimbrel {

// Starts the user's programs with CreateProcessW: shown normally and free to come to the front, working folder the
// program's own, and returns without waiting. A chosen shortcut (.lnk) is listed by its own name and starts the
// program it names, with its arguments, in its working folder.
class CreateProcessStarter : public ProcessStarter {
public:
    std::string executableSuffix() override;
    bool namesIgnoreCase() override { return true; }
    bool isOrdinaryFile(const std::string& path) override;
    // A shortcut's name; nothing for a program file, which is listed by its file name.
    std::optional<std::string> desktopName(const std::string& path) override;
    void start(const std::string& path) override;
};

} // namespace nimbrel
