#include "OnlineReporter.h"

#include "ReportText.h"
#include "core/system/ConnectivityProbe.h"
#include "core/system/EventLoop.h"
#include "core/system/HttpTransfer.h"
#include "core/base/Trap.h"
#include "core/system/ProfileFile.h"
#include "settings/ModReg.h"
#include "settings/Settings.h"

namespace nimbrel {

OnlineReporter::OnlineReporter(Services services, std::string vendorServer)
    : services_(services), vendorServer_(std::move(vendorServer))
{
    // Read here and not through Settings, whose failures come back to this reporter; a file that cannot be
    // read leaves reports on, as they are by default.
    Trap::silent()([&] {
        const SettingKey& k = keys::onlineReports;
        const std::string stored =
            services_.profile.readString(settingsFile(services_.directory), k.section, k.key, k.defaultValue);
        sending_ = stripNull(stored) != "0";
    });
}

void OnlineReporter::reportError(const std::string& tag, int number, const std::string& description)
{
    if (!sending_ || depth_ >= maxNesting) return;
    ++depth_;
    try {
        if (firstOfItsKind(tag, number, description) && checkConnection() && number != 0) {
            services_.transfer.cancel();
            while (services_.transfer.stillExecuting()) {
                services_.events.doEvents();
                services_.events.doEvents();
            }
            const std::string query = reportQuery(system_, ieVersion_, tag, number, description);
            services_.transfer.openUrlText(vendorServer_ + "/error-reporting/error-msg.php?" + query);
        }
    } catch (...) {
        // Whatever fails while reporting is swallowed: the caller resumes.
    }
    --depth_;
}

bool OnlineReporter::firstOfItsKind(const std::string& tag, int number, const std::string& description)
{
    if (made_.size() >= maxDistinctReports) return false;
    return made_.insert(tag + '\n' + std::to_string(number) + '\n' + description).second;
}

bool OnlineReporter::checkConnection()
{
    bool reachable = false;
    const Trap ignore = Trap::silent();
    ignore([&] { services_.events.doEvents(); });
    ignore([&] { reachable = services_.probe.pageReachable(); });
    return reachable;
}

void OnlineReporter::getSystemInfo(ModReg& registry)
{
    const Trap ignore = Trap::silent();
    SystemIdentity identity;
    ignore([&] { identity = services_.system.identify(); });
    ignore([&] { system_.osName = identity.osName; });
    ignore([&] { system_.osVersion = identity.osVersion; });
    ignore([&] { system_.servicePack = identity.servicePack.substr(0, identity.servicePack.find('\0')); });
    ignore([&] { ieVersion_ = registry.regGetValue("Software\\Microsoft\\Internet Explorer", "Version"); });
}

} // namespace nimbrel
