#pragma once

#include "core/controls/CheckBoxModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/OptionGroupModel.h"

#include <cstdint>
#include <functional>

namespace nimbrel {

class ErrorReporter;
class ModReg;
class ProgramDirectory;
class Settings;

// The Startup/Other panel: display at start-up, start with the desktop
// session, the release at start-up, the passes of every release, the
// low-memory warning switch and closing to the tray.
class StartupOptions {
public:
    using StartRelease = std::function<void(std::int32_t amountMB, std::uint32_t firstDelayMs)>;

    // The key and value under which the desktop session finds what to start at login.
    static constexpr const char* runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* runValue = "Nimbrel";

    struct Services {
        Settings& settings;
        ModReg& registry;
        ProgramDirectory& directory;
        ErrorReporter& reporter;
    };

    // cmbStartupRam is filled with the amounts before the loader runs.
    StartupOptions(Services services, ListModel& cmbStartupRam, const bool& isLoading, StartRelease startRelease);

    void loadStartup();
    void checkStartupRelease();

    void optDisplay_Click(int index);
    void chkStartup_Click();
    void cmbStartupRam_Click();
    void cmbStartupWait_Click();
    void cmbRetry_Click();
    void chkLowLevel_Click();
    void chkQuit_Click();
    void chkTrayGauge_Click();

    // The full path of the running executable, as the desktop session starts it.

    OptionGroupModel optDisplay{{"Fully Displayed", "Minimized in Taskbar", "Hidden"}};
    OptionGroupModel optCPU{{"Slower", "Medium", "Faster"}};
    CheckBoxModel chkStartup{"Automatically launch"};
    ListModel cmbStartupWait;
    ListModel cmbRetry;
    CheckBoxModel chkLowLevel;
    CheckBoxModel chkQuit{"Enable"};
    // Shows available memory in the tray icon.
    CheckBoxModel chkTrayGauge{"Gauge in icon"};
    ListModel& cmbStartupRam;

private:

    Services services_;
    const bool& isLoading_;
    StartRelease startRelease_;
};

} // namespace nimbrel
