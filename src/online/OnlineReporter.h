#pragma once

#include "core/base/ErrorReporter.h"
#include "core/system/SystemVersion.h"

#include <cstddef>
#include <set>
#include <string>

namespace nimbrel {

class ConnectivityProbe;
class EventLoop;
class HttpTransfer;
class ModReg;
class ProfileFile;
class ProgramDirectory;

// Sends every trapped run-time error, with the system's identification, to
// the vendor's web server as one GET, whenever the Internet can be reached,
// unless the user turned reports off ([Online] Reports=0 in settings.ini,
// read when the reporter is made, so it holds before any window loads).
// Shows nothing and never fails its caller. An error is news once: a report
// with the tag, number and text of one already made in this run (a failure for
// each line of a broken file, a tick that fails every second) is not made
// again, not even probed for.
class OnlineReporter : public ErrorReporter {
public:
    // Reports nested deeper than this (each started from inside another's
    // wait) are dropped, so a slow server cannot make the stack grow without bound.
    static constexpr int maxNesting = 3;
    // The different reports made in one run; beyond them the run has said
    // enough, and what it would say is not kept.
    static constexpr std::size_t maxDistinctReports = 1000;

    struct Services {
        HttpTransfer& transfer;
        ConnectivityProbe& probe;
        EventLoop& events;
        SystemVersion& system;
        // Where the user's switch for reports is stored.
        ProfileFile& profile;
        ProgramDirectory& directory;
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
    // True the first time a report of this tag, number and text is asked for in this run.
    bool firstOfItsKind(const std::string& tag, int number, const std::string& description);

    Services services_;
    std::string vendorServer_;
    SystemIdentity system_;
    std::string ieVersion_;
    bool sending_ = true;
    int depth_ = 0;
    std::set<std::string> made_;
};

} // namespace nimbrel
