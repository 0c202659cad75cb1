#pragma once

#include "UpdateServer.h"

#include <functional>
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
class UrlOpener;

// Installing a downloaded version over three program starts, led by the phase
// value "Up": "b" when "nbl" is the new version, "c" once it has taken the
// program's place, "a" when nothing is pending. "Up" = "b" is written last of
// the download's values and "ver" only by the new program once it runs, so a
// crash at any step leaves the old program with its own number, or the new one
// with the new number, and the next start goes on from there. The old program
// is kept beside the new one until the new one has come up, and put back if it
// does not.
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
    // Beside the update's values: the SHA-256 of the package that was verified, and the version it carries.
    static constexpr const char* digestValue = "sha";
    static constexpr const char* versionValue = "nver";
    // Set when a new version did not come up and the old one was put back; the next start says so.
    static constexpr const char* putBackValue = "upback";
    // Set while the new program is starting in phase "c", until the first turn of its event loop.
    static constexpr const char* comingUpValue = "uptry";
    // The program as it was, beside the new one until that has come up.
    static constexpr const char* backupName = "Nimbrel-previous";
    // How long the new program has to come up.
    static constexpr int cameUpSeconds = 60;

    // vendorServer is the base address of the vendor's web site, without a trailing "/".
    UpdatePhases(Services services, std::string vendorServer);

    // Downloads the package (one attempt) and hands over to it, ending this
    // program; otherwise the step that failed, with nothing pending. A Cancel
    // counts until noReturn is called: from then on the new version is installed.
    UpdateServer::Download installUpdate(UpdateServer& server, const std::function<void()>& noReturn = {});
    // The start-up step: replaces the program in phase "b" and ends; in phase
    // "c" notes that the new program is coming up, or, when a start before this
    // one never came up (it crashed, or was killed), puts the old program back
    // and hands over to it. Errors are ignored.
    void finishUpdate();
    // The first turn of the event loop: a new program that came up this far takes
    // its place for good (the clean-up and the thanks); one that came up only
    // after the old program was put back hands over to it and ends.
    void startedUp();
    // Yields to the event loop until the seconds have passed.
    void waitSeconds(int seconds);

private:
    void replaceProgram();
    void comingUp();
    // The old program back in its place, from the backup with that digest; false when it cannot be put back.
    bool putBack(const std::string& oldDigest);
    void cleanUp();
    // Back to nothing pending, the old program kept: the values of the download go, and so do "nbl" and the backup.
    void forgetDownload();
    // True once the program started in phase "c" has gone through its clean-up, within cameUpSeconds.
    bool cameUp();
    // After a new version was put back: the message that says so, once.
    void tellOfAVersionPutBack();
    // The update's own reading of a value: the default when it is missing, the text up to its first NUL otherwise.
    std::string storedValue(const std::string& name, const std::string& defaultValue);
    std::string inFolder(const std::string& name);

    Services services_;
    std::string vendorServer_;
    bool comingUp_ = false; // this run started in phase "c"
};

// A local date and time as the program writes it ("2026-12-07 14:05:09").
std::string localDateTimeText(long long secondsSince1970);

} // namespace nimbrel
