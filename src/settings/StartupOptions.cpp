#include "StartupOptions.h"

#include "AppliedValues.h"
#include "ModReg.h"
#include "Settings.h"
#include "core/base/Numbers.h"
#include "core/system/ProgramDirectory.h"
#include "core/base/Trap.h"

namespace nimbrel {

StartupOptions::StartupOptions(Services services, ListModel& startupRam, const bool& isLoading,
                               StartRelease startRelease)
    : cmbStartupRam(startupRam), services_(services), isLoading_(isLoading), startRelease_(std::move(startRelease))
{
    optDisplay.setValue(0);
    optDisplay.onClick = [this](int index) { optDisplay_Click(index); };
    chkStartup.onClick = [this] { chkStartup_Click(); };
    cmbStartupRam.onClick = [this] { cmbStartupRam_Click(); };
    cmbStartupWait.onClick = [this] { cmbStartupWait_Click(); };
    cmbRetry.onClick = [this] { cmbRetry_Click(); };
    chkLowLevel.onClick = [this] { chkLowLevel_Click(); };
    chkQuit.onClick = [this] { chkQuit_Click(); };
    chkTrayGauge.onClick = [this] { chkTrayGauge_Click(); };
}

void StartupOptions::loadStartup()
{
    const Trap trap(services_.reporter, "frmMain,loadStartup");
    Settings& s = services_.settings;
    trap([&] { applyDisplay(optDisplay, s.getData(keys::startupDisplay)); });
    trap([&] { applyNumericCheck(chkStartup, s.getData(keys::startupAutoLaunch)); });
    trap([&] { applyNumericCheck(chkQuit, s.getData(keys::startupQuit)); });
    trap([&] { applyNumericCheck(chkLowLevel, s.getData(keys::startupLowLevel)); });
    trap([&] { applyNumericPosition(cmbStartupRam, s.getData(keys::startupRelease), true); });
    trap([&] {
        for (int seconds = 1; seconds <= 250; ++seconds)
            cmbStartupWait.addItem(std::to_string(seconds));
    });
    trap([&] { applyNumericPosition(cmbStartupWait, s.getData(keys::startupWait), true); });
    trap([&] {
        for (int tries = 1; tries <= 20; ++tries)
            cmbRetry.addItem(std::to_string(tries));
    });
    trap([&] { applyNumericPosition(cmbRetry, s.getData(keys::startupRetry), true); });
    trap([&] { applyNumericOption(optCPU, s.getData(keys::startupCpuUpdate)); });
    trap([&] { applyNumericCheck(chkTrayGauge, s.getData(keys::startupTrayGauge)); });
}

void StartupOptions::checkStartupRelease()
{
    const Trap trap(services_.reporter, "frmMain,checkStartupRelease");
    if (cmbStartupRam.text() == "0 MB") return;
    std::int32_t amount = 0;
    trap([&] { amount = entryAmountMB(cmbStartupRam.text()); });
    std::uint32_t waitMs = 0;
    trap([&] { waitMs = static_cast<std::uint32_t>(toInt32(leadingNumber(cmbStartupWait.text()))) * 1000u; });
    trap([&] { startRelease_(amount, waitMs); });
}

void StartupOptions::optDisplay_Click(int index)
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,optDisplay_Click", keys::startupDisplay, index);
}

void StartupOptions::cmbStartupRam_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,cmbStartupRam_Click", keys::startupRelease,
                                          cmbStartupRam.listIndex());
}

void StartupOptions::cmbStartupWait_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,cmbStartupWait_Click", keys::startupWait,
                                          cmbStartupWait.listIndex());
}

void StartupOptions::cmbRetry_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,cmbRetry_Click", keys::startupRetry,
                                          cmbRetry.listIndex());
}

void StartupOptions::chkLowLevel_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,chkLowLevel_Click", keys::startupLowLevel,
                                          chkLowLevel.value());
}

void StartupOptions::chkQuit_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,chkQuit_Click", keys::startupQuit, chkQuit.value());
}

void StartupOptions::chkTrayGauge_Click()
{
    services_.settings.storeUnlessLoading(isLoading_, "frmMain,chkTrayGauge_Click", keys::startupTrayGauge,
                                          chkTrayGauge.value());
}

void StartupOptions::chkStartup_Click()
{
    // Runs while loading as well: every start with the box checked points the
    // session's entry at this executable again, wherever it has moved.
    const Trap trap(services_.reporter, "frmMain,chkStartup_Click");
    trap([&] {
        if (chkStartup.checked()) {
            services_.registry.regSetValue(runKey, runValue, services_.directory.startCommand());
        } else {
            services_.registry.deleteValue(runValue, runKey);
        }
    });
    trap([&] { services_.settings.writeData(keys::startupAutoLaunch, std::to_string(chkStartup.value())); });
}

} // namespace nimbrel
