#include "MainForm.h"

#include "core/system/MessageBoxes.h"
#include "core/system/ProgramExit.h"
#include "core/system/TimerScheduler.h"
#include "core/base/Trap.h"

namespace nimbrel {

MainForm::MainForm(MainFormServices services)
    : settings(services.profile, services.directory, services.reporter),
      modReg(services.registry, services.reporter),
      amounts(services.memory, services.reporter),
      startup({settings, modReg, services.directory, services.reporter}, amounts.cmbStartupRam, isLoading,
              [this](std::int32_t amountMB, std::uint32_t firstDelayMs) {
                  engine.startRelease(amountMB, firstDelayMs, ReleaseOrigin::Startup);
              }),
      engine({services.memory, services.block, services.messages, services.reporter, settings}, amounts.lstRam,
             startup.cmbRetry, isLoading),
      graphs({services.pictures, services.directory, settings, services.clock, services.reporter}),
      cpu({services.counters, services.dynamicData, services.pictures, services.directory, settings,
           services.reporter},
          startup.optCPU),
      warning(services.messages, startup.chkLowLevel),
      autoRelease({services.memory, services.clock, settings, services.reporter},
                  {amounts, startup, engine, warning, cpu.lblCPU}, isLoading),
      timedRelease({services.memory, services.clock, settings, services.reporter},
                   {amounts, startup, engine, warning, cpu.lblCPU}, isLoading),
      launcher({services.memory, services.block, services.events, services.programs, services.fileDialog,
                services.files, services.messages, services.directory, settings, services.reporter},
               amounts, isLoading, [this] { trayMenu.loadMenu(); }),
      sysTray(services.trayIcon, services.reporter),
      trayMenu({frmMain, sysTray, services.trayIcon, engine.mnuRelease, amounts.lstRam, launcher.lstLauncher},
               services.reporter),
      gauges({services.memory, services.clock, services.reporter},
             {frmMain, amounts, graphs, cpu,
              [this](const std::string& caption) { sysTray.changeToolTip(frmMain, caption); }}),
      notices(engine, launcher, sysTray, services.trayIcon, services.reporter),
      trayGauge(services.trayIcon, startup.chkTrayGauge, gauges.lblPPercent),
      panels(services.urls, services.messages, services.vendorServer),
      services_(std::move(services))
{
    for (TimerModel* timer : {&cpu.tmrCPU, &gauges.tmrMemory, &timedRelease.tmrTime, &autoRelease.tmrAuto, &engine.tmrRam,
                               &engine.tmrPass}) {
        services_.scheduler.attach(*timer);
    }
    cmdPause.onClick = [this] { cmdPause_Click(); };
    cmdExit.onClick = [this] { cmdExit_Click(); };
    cmdHide.onClick = [this] { cmdHide_Click(); };
    mnuExit.onClick = [this] { mnuExit_Click(); };
    trayMenu.mnuP1.onClick = [this](int index) { mnuP1_Click(index); };
    startup.chkTrayGauge.changed.connect([this] { trayGauge.refresh(); });
    gauges.lblPPercent.changed.connect([this] { trayGauge.refresh(); });
    amounts.totalsChanged.connect([this] { layoutScales(); });
    // A write that fails while the window loads is told once it has loaded.
    settings.writeFailed.connect([this] {
        if (loaded_) tellWriteFailure();
    });
}

void MainForm::Form_Load()
{
    const Trap trap(services_.reporter, "frmMain,Form_Load");
    trap([&] { modReg.regReadOrCreate("Software\\Microsoft\\Nimbrel", "ver", "5"); });
    trap([&] {
        if (services_.getSystemInfo) services_.getSystemInfo(modReg);
    });
    trap([&] { graphs.emptyHistory(); });
    trap([&] {
        cpu.tmrCPU.setEnabled(true);
        gauges.tmrMemory.setEnabled(true);
    });
    trap([&] { cpu.createSampler(); });
    isLoading = true;
    trap([&] { initMemory(); });
    trap([&] {
        graphs.initGraph();
        cpu.initGraph();
    });
    trap([&] { graphs.loadGraph(); });
    trap([&] { gauges.initProgressBar(); });
    trap([&] { loadRAM(); });
    trap([&] { autoRelease.loadAuto(); });
    trap([&] { timedRelease.loadTime(); });
    trap([&] { startup.loadStartup(); });
    trap([&] { launcher.loadLauncher(); });
    isLoading = false;
    trap([&] { startup.checkStartupRelease(); });
    trap([&] {
        if (timedRelease.chkTimeActive.checked()) timedRelease.arm();
    });
    trap([&] {
        if (autoRelease.chkAutoActive.checked()) autoRelease.arm();
    });
    trap([&] { trayMenu.loadMenu(); });
    trap([&] { sysTray.showIcon(frmMain); });
    trap([&] { showAtStart(); });
    trap([&] { launcher.tellListLeftOut(); });
    loaded_ = true;
    if (!settings.writeFailure().empty()) tellWriteFailure();
}

void MainForm::tellWriteFailure()
{
    const Trap trap(services_.reporter, "frmMain,writeData");
    trap([&] { services_.messages.msgBox(settings.writeFailure(), mb::exclamation | mb::okOnly, "Nimbrel"); });
}

void MainForm::mnuP1_Click(int index)
{
    if (trayMenu.isMoreEntry(index)) {
        trayMenu.mnuShow_Click();
        panels.navigation[Panels::Launcher].userClick();
        return;
    }
    launcher.mnuP1_Click(trayMenu.programLine(index));
}

void MainForm::showAtStart()
{
    switch (startup.optDisplay.selected()) {
    case 0:
        frmMain.show();
        setTrayTipActive(false);
        break;
    case 1:
        frmMain.setMinimised(true);
        frmMain.show();
        setTrayTipActive(false);
        break;
    default:
        sysTray.hideWindow(frmMain);
        setTrayTipActive(true);
        break;
    }
}

void MainForm::initMemory()
{
    amounts.initMemory();
    layoutScales();
}

void MainForm::layoutScales()
{
    const Trap trap(services_.reporter, "frmMain,initMemory");
    trap([&] { graphs.layoutScales(amounts.totalPhysicalMB(), amounts.totalPageFileMB()); });
}

void MainForm::loadRAM()
{
    amounts.fillLists();
    engine.restoreSelection();
}

void MainForm::shutdown()
{
    const Trap trap = Trap::silent();
    launcher.endLaunches();
    trap([&] { cpu.releaseSampler(); });
    for (TimerModel* timer : {&timedRelease.tmrTime, &autoRelease.tmrAuto, &cpu.tmrCPU, &gauges.tmrMemory, &engine.tmrRam}) {
        trap([&] { timer->setEnabled(false); });
    }
    trap([&] { sysTray.RemoveIcon(frmMain); });
    services_.exit.endNow();
}

void MainForm::cmdExit_Click()
{
    const Trap trap(services_.reporter, "frmMain,cmdExit_Click");
    trap([&] { shutdown(); });
}

bool MainForm::Form_QueryUnload(int unloadMode)
{
    const Trap trap(services_.reporter, "frmMain,Form_QueryUnload");
    if ((unloadMode == FormControlMenu || unloadMode == FormCode) && startup.chkQuit.checked()) {
        trap([&] { sysTray.hideWindow(frmMain); });
        setTrayTipActive(true);
        return true;
    }
    trap([&] { shutdown(); });
    return false;
}

void MainForm::cmdHide_Click()
{
    const Trap trap(services_.reporter, "frmMain,cmdHide_Click");
    trap([&] { sysTray.hideWindow(frmMain); });
    setTrayTipActive(true);
}

void MainForm::cmdPause_Click()
{
    const Trap trap(services_.reporter, "frmMain,cmdPause_Click");
    if (cmdPause.caption() == pauseCaption) {
        for (TimerModel* timer : {&cpu.tmrCPU, &gauges.tmrMemory, &timedRelease.tmrTime, &autoRelease.tmrAuto}) {
            trap([&] { timer->setEnabled(false); });
        }
        trap([&] { frmMain.setCaption(pausedCaption); });
        setTrayTipActive(true);
        trap([&] { sysTray.changeToolTip(frmMain, pausedCaption); });
        setTrayTipActive(false);
        trap([&] { cmdPause.setCaption(resumeCaption); });
        return;
    }
    trap([&] {
        cpu.tmrCPU.setEnabled(true);
        gauges.tmrMemory.setEnabled(true);
    });
    trap([&] {
        if (timedRelease.chkTimeActive.checked()) timedRelease.tmrTime.setEnabled(true);
    });
    trap([&] {
        if (autoRelease.chkAutoActive.checked()) autoRelease.tmrAuto.setEnabled(true);
    });
    cmdPause.setCaption(pauseCaption);
}

void MainForm::mnuExit_Click()
{
    launcher.endLaunches();
    Trap::silent()([&] { sysTray.RemoveIcon(frmMain); });
    services_.exit.endNow();
}

} // namespace nimbrel
