#pragma once

#include "core/system/SystemVersion.h"

#include <string>

namespace nimbrel {

// The system's name from os-release (PRETTY_NAME) and its version from the kernel release.
class OsReleaseVersion : public SystemVersion {
public:
    explicit OsReleaseVersion(std::string osReleasePath = "/etc/os-release",
                              std::string kernelReleasePath = "/proc/sys/kernel/osrelease");
    SystemIdentity identify() override;

private:
    std::string osReleasePath_;
    std::string kernelReleasePath_;
};

// The value of PRETTY_NAME in the text of an os-release file, unquoted; empty when absent.
std::string prettyName(const std::string& osRelease);

} // namespace nimbrel
