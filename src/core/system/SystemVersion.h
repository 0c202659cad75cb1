#pragma once

#include <string>

namespace nimbrel {

// How the system names itself in error reports.
struct SystemIdentity {
    std::string osName;
    std::string osVersion;
    std::string servicePack;
};

class SystemVersion {
public:
    virtual ~SystemVersion() = default;
    // The system's name, version and service-pack text; a piece that cannot be read is left empty.
    virtual SystemIdentity identify() = 0;
};

} // namespace nimbrel
