#include "UpdatePhases.h"

#include "UpdateServer.h"
#include "core/system/Clock.h"
#include "core/system/EventLoop.h"
#include "core/system/HandOver.h"
#include "core/system/MessageBoxes.h"
#include "core/system/ProgramDirectory.h"
#include "core/system/ProgramExit.h"
#include "core/system/ProgramFiles.h"
#include "core/system/RegistryStore.h"
#include "core/base/Trap.h"
#include "core/system/UrlOpener.h"
#include "settings/ModReg.h"
#include "settings/Settings.h"

#include <cctype>
#include <chrono>
#include <cstdio>

namespace nimbrel {

namespace {

const char* const key = UpdateServer::programKey;

bool mentions(const std::string& text, char letter)
{
    for (const char c : text) {
        if (std::tolower(static_cast<unsigned char>(c)) == letter) return true;
    }
    return false;
}

} // namespace

std::string localDateTimeText(long long secondsSince1970)
{
    using namespace std::chrono;
    const sys_seconds moment{seconds(secondsSince1970)};
    const sys_days day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss time{moment - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

UpdatePhases::UpdatePhases(Services services, std::string vendorServer)
    : services_(services), vendorServer_(std::move(vendorServer))
{
}

std::string UpdatePhases::inFolder(const std::string& name)
{
    return services_.directory.path() + "/" + name + services_.files.executableSuffix();
}

std::string UpdatePhases::storedValue(const std::string& name, const std::string& defaultValue)
{
    return stripNull(services_.store.queryValue(key, name).value_or(defaultValue));
}

UpdateServer::Download UpdatePhases::installUpdate(UpdateServer& server, const std::function<void()>& noReturn)
{
    const UpdateServer::Download downloaded = server.downloadPackage();
    if (downloaded != UpdateServer::Download::Kept) return downloaded;
    // The last moment a Cancel counts: what was kept goes with it.
    services_.events.doEvents();
    if (server.cancelled()) {
        forgetDownload();
        return UpdateServer::Download::Cancelled;
    }
    // From here on the new version is being installed: the dialog says so before anything of it is stored.
    if (noReturn) noReturn();
    services_.events.doEvents();

    ModReg& registry = services_.registry;
    registry.regSetValue(key, "App", localDateTimeText(services_.clock.now().seconds));
    registry.regSetValue(key, "donreq", "z");
    registry.regSetValue(key, versionValue, server.pendingVersion());
    registry.regSetValue(key, digestValue, server.packageDigest());
    // The phase last: until it is written, the next start finds nothing pending.
    registry.regSetValue(key, "Up", "b");
    // What starts is what was checked: "nbl" still holds the bytes of the digest.
    if (services_.files.digest(server.downloadedPath()) != server.packageDigest() ||
        !services_.handOver.startInstead(server.downloadedPath())) {
        forgetDownload();
        return UpdateServer::Download::DoesNotStart;
    }
    services_.exit.endNow();
    return UpdateServer::Download::Kept;
}

void UpdatePhases::finishUpdate()
{
    comingUp_ = false;
    std::string current;
    if (!Trap::silent()([&] { current = storedValue("Up", "a"); })) return;
    if (current.empty() || mentions(current, 'a')) {
        // A download that never reached phase "b" (the program ended while it saved its values) leaves the
        // old program as it was: what it left goes.
        std::string pending;
        Trap::silent()([&] { pending = storedValue(digestValue, "") + storedValue(versionValue, ""); });
        if (!pending.empty()) {
            forgetDownload();
        } else if (services_.directory.portable()) {
            // Only a copy that can update itself downloads: an installed one's folder is the system's.
            Trap::silent()([&] {
                services_.files.remove(inFolder(UpdateServer::downloadedName));
                services_.files.remove(inFolder(backupName));
            });
        }
        tellOfAVersionPutBack();
        return;
    }
    if (mentions(current, 'b')) {
        replaceProgram();
    } else if (mentions(current, 'c')) {
        comingUp();
    }
}

void UpdatePhases::comingUp()
{
    const Trap ignore = Trap::silent();
    std::string tried;
    ignore([&] { tried = storedValue(comingUpValue, ""); });
    if (tried.empty()) {
        // Noted before anything else of the start: should this run die before its event loop, the next start
        // knows the new program does not come up, whether or not the replacing process still waits for it.
        ignore([&] { services_.registry.regSetValue(key, comingUpValue, "z"); });
        comingUp_ = true;
        return;
    }
    // A start in phase "c" before this one never came up: the old program goes back in place, says so when it
    // starts, and runs in this one's stead.
    // Nothing recorded the old program's digest: the backup is taken as it is.
    std::string backupDigest;
    ignore([&] { backupDigest = services_.files.digest(inFolder(backupName)); });
    if (!putBack(backupDigest)) return;
    ignore([&] { services_.handOver.startInstead(inFolder(programName)); });
    ignore([&] { services_.exit.endNow(); });
}

bool UpdatePhases::putBack(const std::string& oldDigest)
{
    const Trap ignore = Trap::silent();
    bool restored = false;
    // Where it cannot be put back (a full disk), the backup stays: it is the only copy of the old program.
    ignore([&] { restored = services_.files.replaceWithCopy(inFolder(backupName), inFolder(programName), oldDigest); });
    if (!restored) return false;
    forgetDownload();
    ignore([&] { services_.registry.deleteValue(comingUpValue, key); });
    ignore([&] { services_.registry.regSetValue(key, putBackValue, "z"); });
    return true;
}

void UpdatePhases::startedUp()
{
    if (!comingUp_) return;
    comingUp_ = false;
    std::string current = "c";
    Trap::silent()([&] { current = storedValue("Up", "a"); });
    if (mentions(current, 'c')) {
        cleanUp();
        return;
    }
    // It came up too late: the old program was put back meanwhile. It runs in this one's stead, so that no two
    // versions run from one folder.
    const Trap ignore = Trap::silent();
    ignore([&] { services_.handOver.startInstead(inFolder(programName)); });
    ignore([&] { services_.exit.endNow(); });
}

void UpdatePhases::forgetDownload()
{
    const Trap ignore = Trap::silent();
    ignore([&] { services_.registry.regSetValue(key, "Up", "a"); });
    ignore([&] { services_.registry.deleteValue(digestValue, key); });
    ignore([&] { services_.registry.deleteValue(versionValue, key); });
    ignore([&] { services_.registry.deleteValue("donreq", key); });
    ignore([&] { services_.files.remove(inFolder(UpdateServer::downloadedName)); });
    ignore([&] { services_.files.remove(inFolder(backupName)); });
}

void UpdatePhases::tellOfAVersionPutBack()
{
    const Trap ignore = Trap::silent();
    std::string putBack;
    ignore([&] { putBack = storedValue(putBackValue, ""); });
    if (putBack.empty()) return;
    ignore([&] { services_.registry.deleteValue(putBackValue, key); });
    ignore([&] {
        services_.messages.msgBox("The new version of Nimbrel did not start, so the previous version was put back.",
                                  mb::okOnly, "Nimbrel");
    });
}

bool UpdatePhases::cameUp()
{
    // The new program shows that it came up by going through its clean-up phase, which leaves phase "c".
    for (int second = 0; second < cameUpSeconds; ++second) {
        std::string current = "c";
        Trap::silent()([&] { current = storedValue("Up", "a"); });
        if (!mentions(current, 'c')) return true;
        Trap::silent()([&] { waitSeconds(1); });
    }
    return false;
}

void UpdatePhases::replaceProgram()
{
    const Trap ignore = Trap::silent();
    // The previous process is given time to end.
    ignore([&] { waitSeconds(4); });
    ignore([&] { waitSeconds(4); });
    std::string digest;
    std::string version;
    ignore([&] {
        digest = storedValue(digestValue, "");
        version = storedValue(versionValue, "");
    });
    const std::string program = inFolder(programName);
    const std::string backup = inFolder(backupName);
    // The program as it is stays beside it until the new one has come up. A phase repeated after a crash that
    // came between the two copies finds the new program in place already: the backup made before is the old one.
    std::string oldDigest;
    ignore([&] { oldDigest = services_.files.digest(program); });
    const bool alreadyNew = !digest.empty() && oldDigest == digest;
    if (alreadyNew) ignore([&] { oldDigest = services_.files.digest(backup); });
    bool replaced = false;
    ignore([&] {
        replaced = !digest.empty() && !version.empty() && !oldDigest.empty() &&
                   (alreadyNew ||
                    (services_.files.replaceWithCopy(program, backup, oldDigest) &&
                     // Only the bytes that were verified take the program's place: "nbl" is read without following
                     // a link and must have the digest recorded at the download.
                     services_.files.replaceWithCopy(inFolder(UpdateServer::downloadedName), program, digest)));
    });
    if (replaced) {
        // A crash before this repeats the phase, which finds the same "nbl" and does the same.
        ignore([&] { services_.registry.regSetValue(key, "Up", "c"); });
    } else {
        // The old program stays, with its own number; the next check offers the update again.
        forgetDownload();
    }
    ignore([&] { waitSeconds(4); });
    bool started = false;
    ignore([&] { started = services_.handOver.startInstead(program); });
    if (!started) return;
    // The new version did not come up: the old one goes back in place, and says so when it starts.
    if (replaced && !cameUp() && putBack(oldDigest)) ignore([&] { services_.handOver.startInstead(program); });
    ignore([&] { services_.exit.endNow(); });
}

void UpdatePhases::cleanUp()
{
    const Trap ignore = Trap::silent();
    // The new program came up: from here on it stays, whatever happens to this run.
    ignore([&] { services_.registry.deleteValue(comingUpValue, key); });
    ignore([&] { waitSeconds(5); });
    // This is the new program, running: its number counts from now on. (After a version put back, the program
    // is not the one verified, and keeps its own number.)
    ignore([&] {
        const std::string digest = storedValue(digestValue, "");
        const std::string version = storedValue(versionValue, "");
        if (!digest.empty() && !version.empty() && services_.files.digest(inFolder(programName)) == digest)
            services_.registry.regSetValue(key, "ver", version);
    });
    ignore([&] { services_.files.remove(inFolder(UpdateServer::downloadedName)); });
    ignore([&] { services_.files.remove(inFolder(backupName)); });
    ignore([&] { services_.registry.deleteValue(digestValue, key); });
    ignore([&] { services_.registry.deleteValue(versionValue, key); });
    ignore([&] { services_.registry.regSetValue(key, "Up", "a"); });
    std::string donreq;
    ignore([&] { donreq = storedValue("donreq", ""); });
    if (donreq.empty()) {
        ignore([&] { services_.registry.deleteValue("donreq", key); });
        return;
    }
    if (!mentions(donreq, 'z')) return;
    ignore([&] { services_.registry.deleteValue("donreq", key); });
    ignore([&] { services_.messages.msgBox("Nimbrel Upgraded. Thank you", mb::okOnly, "Nimbrel"); });
    ignore([&] { services_.urls.openUrl(vendorServer_ + "/upgrade.php"); });
}

void UpdatePhases::waitSeconds(int seconds)
{
    const std::uint32_t start = services_.clock.tickCount();
    const auto wanted = static_cast<std::uint32_t>(seconds) * 1000u;
    while (static_cast<std::uint32_t>(services_.clock.tickCount() - start) < wanted) services_.events.doEvents();
}

} // namespace nimbrel
