#pragma once

#include "core/system/ProcessStarter.h"

namespace nimbrel {

// Starts a program file, or the command of an application's desktop entry, as a process in a session of its
// own that outlives Nimbrel, in its own folder.
class DetachedProcessStarter : public ProcessStarter {
public:
    std::string executableSuffix() override { return {}; }
    bool namesIgnoreCase() override { return false; }
    bool isOrdinaryFile(const std::string& path) override;
    std::optional<std::string> desktopName(const std::string& path) override;
    void start(const std::string& path) override;
};

} // namespace nimbrel
