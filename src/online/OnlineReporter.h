#pragma once

#include "core/ErrorReporter.h"
#include "core/SystemVersion.h"

#include <string>

namespace nimbrel {

class ConnectivityProbe;
class EventLoop;
class HttpTransfer;
class ModReg;

// Sends every trapped run-time error, with the system's identification, to
// the vendor's web server as one GET, whenever the Internet can be reached.
// Shows nothing and never fails its caller.
class OnlineReporter : public ErrorReporter {
public:
    // Reports nested deeper than this (each started from inside another's
    // wait) are dropped, so a slow server cannot make the stack grow without bound.
    static constexpr int maxNesting = 3;

    struct Services {
        HttpTransfer& transfer;
        ConnectivityProbe& probe;
        EventLoop& events;
        SystemVersion& system;
    };

    // vendorServer is the base address of the vendor's web site, without a trailing "/".
    OnlineReporter(Services services, std::string vendorServer);

    void reportError(const std::string& tag, int number, const std::string& description) override;
    bool checkConnection();
    // Reads the system's identification once; the browser version comes from the registry.
    void getSystemInfo(ModReg& registry);

    const SystemIdentity& system() const { return system_; }
    const std::string& ieVersion() const { return ieVersion_; }

private:
    Services services_;
    std::string vendorServer_;
    SystemIdentity system_;
    std::string ieVersion_;
    int depth_ = 0;
};

} // namespace nimbrel
