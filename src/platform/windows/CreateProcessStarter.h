#pragma once

#include "core/ProcessStarter.h"

namespace nimbrel {

// Starts the user's programs with CreateProcessW: minimised and activated (SW_SHOWMINIMIZED), working folder the
// program's own, and returns without waiting.
class CreateProcessStarter : public ProcessStarter {
public:
    std::string executableSuffix() override;
    bool isOrdinaryFile(const std::string& path) override;
    // Windows lists a program by its file name: nothing here.
    std::optional<std::string> desktopName(const std::string& path) override;
    void start(const std::string& path) override;
};

} // namespace nimbrel
