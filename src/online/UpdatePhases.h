#pragma once

#include <string>

namespace nimbrel {

class Clock;
class EventLoop;
class HandOver;
class MessageBoxes;
class ModReg;
class ProgramDirectory;
class ProgramExit;
class ProgramFiles;
class RegistryStore;
class UpdateServer;
class UrlOpener;

// Installing a downloaded version over three program starts, led by the phase
// value "Up": "b" when "nbl" is the new version, "c" once it has taken the
// program's place, "a" when nothing is pending.
class UpdatePhases {
public:
    struct Services {
        Clock& clock;
        EventLoop& events;
        ProgramFiles& files;
        ProgramDirectory& directory;
        RegistryStore& store;
        ModReg& registry;
        HandOver& handOver;
        ProgramExit& exit;
        MessageBoxes& messages;
        UrlOpener& urls;
    };

    static constexpr const char* programName = "Nimbrel";
    static constexpr int downloadAttempts = 6;

    // vendorServer is the base address of the vendor's web site, without a trailing "/".
    UpdatePhases(Services services, std::string vendorServer);

    // Downloads the package (six attempts) and hands over to it, ending this
    // program; false when it could not: every attempt failed, or "nbl" would not start.
    bool installUpdate(UpdateServer& server);
    // The start-up step: replaces the program in phase "b" and ends, cleans up
    // and thanks the user in phase "c". Errors are ignored.
    void finishUpdate();
    // Yields to the event loop until the seconds have passed.
    void waitSeconds(int seconds);

private:
    void replaceProgram();
    void cleanUp();
    // The update's own reading of a value: the default when it is missing, the text up to its first NUL otherwise.
    std::string storedValue(const std::string& name, const std::string& defaultValue);
    std::string inFolder(const std::string& name);

    Services services_;
    std::string vendorServer_;
};

// A local date and time as the program writes it ("2026-12-07 14:05:09").
std::string localDateTimeText(long long secondsSince1970);

} // namespace nimbrel
