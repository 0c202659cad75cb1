#pragma once

#include "Panels.h"
#include "core/controls/ButtonModel.h"
#include "core/controls/CheckBoxModel.h"
#include "core/controls/MenuEntryModel.h"
#include "core/controls/TimerModel.h"
#include "core/controls/WindowModel.h"
#include "core/system/SystemServices.h"
#include "launcher/Launcher.h"
#include "memory/AmountLists.h"
#include "memory/ReleaseEngine.h"
#include "monitor/CpuMeter.h"
#include "monitor/HistoryGraphs.h"
#include "monitor/MemoryGauges.h"
#include "policies/AutoRelease.h"
#include "policies/LowMemoryWarning.h"
#include "policies/TimedRelease.h"
#include "settings/ModReg.h"
#include "settings/Settings.h"
#include "settings/StartupOptions.h"
#include "tray/ReleaseNotices.h"
#include "tray/SysTray.h"
#include "tray/TrayGauge.h"
#include "tray/TrayMenu.h"

#include <functional>
#include <string>

namespace nimbrel {

// Everything the main window needs from outside, passed in by main().
struct MainFormServices : SystemServices {
    std::string vendorServer; // base address of the vendor's web site
    // Reads the system's identification for error reports, once at start-up.
    std::function<void(ModReg&)> getSystemInfo = {};
};

// The main window: owns the controls, the timers and the state of the
// subsystems, runs the load sequence and the lifecycle commands.
class MainForm {
public:
    explicit MainForm(MainFormServices services);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // How the window is being closed.
    enum UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2, FormTaskManager = 3 };

    void Form_Load();
    // Returns true when the close is cancelled.
    bool Form_QueryUnload(int unloadMode);
    void cmdExit_Click();
    void cmdHide_Click();
    void cmdPause_Click();
    void mnuExit_Click();
    // An entry of the tray's Programs menu: its program, or the whole list on the Launcher panel.
    void mnuP1_Click(int index);

    bool isLoading = false;

    WindowModel frmMain{"Nimbrel"};

    ButtonModel cmdPause{"&Pause All Activity"};
    ButtonModel cmdExit{"&Exit Nimbrel"};
    ButtonModel cmdHide{"&Hide"};
    MenuEntryModel mnuExit{"E&xit"};

    Settings settings;
    ModReg modReg;
    AmountLists amounts;
    StartupOptions startup;
    ReleaseEngine engine;
    HistoryGraphs graphs;
    CpuMeter cpu;
    LowMemoryWarning warning;
    AutoRelease autoRelease;
    TimedRelease timedRelease;
    Launcher launcher;
    SysTray sysTray;
    TrayMenu trayMenu;
    MemoryGauges gauges;
    ReleaseNotices notices;
    TrayGauge trayGauge;
    Panels panels;

    static constexpr const char* pausedCaption = "Nimbrel [Paused]";
    static constexpr const char* pauseCaption = "&Pause All Activity";
    static constexpr const char* resumeCaption = "&Resume Activity";

private:
    void initMemory();
    // Lays out the graphs' megabyte scales from the totals.
    void layoutScales();
    // Says that settings.ini could not be written, where and why.
    void tellWriteFailure();
    void loadRAM();
    void showAtStart();
    void setTrayTipActive(bool active) { sysTray.setTrayTipActive(active); }
    void shutdown();

    MainFormServices services_;
    bool loaded_ = false; // the load sequence has run to its end
};

} // namespace nimbrel
