// Nimbrel for Windows: composes the behaviour, the Windows services and the Win32 view, and runs them.

#include "app/MainForm.h"
#include "online/AutoUpdateDialog.h"
#include "online/OnlineReporter.h"
#include "online/UpdatePhases.h"
#include "online/UpdateServer.h"
#include "platform/common/Environment.h"
#include "platform/common/StarterHandOver.h"
#include "platform/windows/CreateProcessStarter.h"
#include "platform/windows/MemoryStatusEx.h"
#include "platform/windows/ModuleFileDirectory.h"
#include "platform/windows/RegistryHives.h"
#include "platform/windows/RtlVersionRecord.h"
#include "platform/windows/ShellExecuteUrlOpener.h"
#include "platform/windows/SystemTimesCounters.h"
#include "platform/windows/TickCountClock.h"
#include "platform/windows/TrialRun.h"
#include "platform/windows/VirtualAllocBlock.h"
#include "platform/windows/Win32ProfileFile.h"
#include "platform/windows/Win32ProgramFiles.h"
#include "platform/windows/Win32TextFile.h"
#include "platform/windows/Win32VendorTrust.h"
#include "platform/windows/WinHttpProbe.h"
#include "platform/windows/WinHttpTransfer.h"
#include "ui/win32/ApplicationWindow.h"
#include "ui/win32/AutoUpdateWindow.h"
#include "ui/win32/DpiCalls.h"
#include "ui/win32/GdiPictureFiles.h"
#include "ui/win32/LauncherEditorWindow.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/OpenFileDialog.h"
#include "ui/win32/SingleInstanceMutex.h"
#include "ui/win32/Win32EventLoop.h"
#include "ui/win32/Win32MessageBoxes.h"
#include "ui/win32/Win32PausingEventLoop.h"
#include "ui/win32/Win32ProgramExit.h"
#include "ui/win32/Win32TimerScheduler.h"
#include "ui/win32/Win32TrayIcon.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    using namespace nimbrel;
    using namespace nimbrel::win32;

    // An update starting this file on trial (platform/windows/Win32TrialStart: on a desktop no one sees, with a
    // folder and keys of its own) sees it go through a real start, up to the first turn of the message loop, where
    // it ends with the trial's number.
    const TrialRun trial;

    // The manifest asks for it too; a system that reads no such manifest entry is told here.
    dpi::becomeAware();

    // Another copy running: it is asked to come forward, and this copy ends without a window.
    SingleInstanceMutex guard(trial ? trial.instanceName() : SingleInstanceMutex::sessionName);
    if (!guard.first()) {
        guard.askRunningCopy();
        return 0;
    }

    MemoryStatusEx memory;
    VirtualAllocBlock block(memory);
    TickCountClock clock;
    Win32ProfileFile profile;
    RegistryHives registry(trial.machine(), trial.user());
    ModuleFileDirectory directory;
    SystemTimesCounters counters;
    GdiPictureFiles pictures;
    Win32MessageBoxes messages;
    // Every trapped error goes to the vendor's server, with the system's identification. The windows stay live
    // while a transfer waits, and Cancel reaches it.
    Win32EventLoop events;
    WinHttpTransfer transfer(WinHttpTransfer::defaultTimeout, [&events] { events.doEvents(); });
    WinHttpProbe probe(probeUrl());
    RtlVersionRecord system;
    OnlineReporter reporter({transfer, probe, events, system, profile, directory}, vendorServerUrl());
    ShellExecuteUrlOpener urls;
    Win32TimerScheduler timers;
    Win32ProgramExit exit;
    ApplicationWindow application;
    Win32TrayIcon trayIcon(application.handle(), LoadIconW(instance, MAKEINTRESOURCEW(1)));
    application.addHandler(trayIcon);
    CreateProcessStarter programs;
    OpenFileDialog programDialog;
    Win32TextFile files;

    // A pending upgrade is finished before anything else; its replacement step ends this process.
    Win32ProgramFiles programFiles;
    StarterHandOver handOver(programs, [&guard] { guard.letGo(); });
    Win32PausingEventLoop pausing;
    ModReg updateRegistry(registry, reporter);
    UpdatePhases update({clock, pausing, programFiles, directory, registry, updateRegistry, handOver, exit, messages,
                         urls},
                        vendorServerUrl());
    update.finishUpdate();

    MainForm form({{memory, block, messages, reporter, urls, exit, timers, clock, profile, registry, directory, pictures,
                   counters, nullptr, trayIcon, events, programs, programDialog, files}, vendorServerUrl(),
                   [&reporter](ModReg& registry) { reporter.getSystemInfo(registry); }});
    MainWindow window(form);
    if (trial) {
        window.keepHidden();
        trayIcon.keepOutOfTray();
    }
    messages.setOwner(window.handle());
    trayIcon.setFileMenu(window.menus().menu("mnuFile"), window.handle());
    trayIcon.onNotification = [&form](int code) { form.trayMenu.Form_MouseMove(code); };
    application.onActivationRequest = [&form] { form.frmMain.bringToFront(); };
    // The installer replacing or removing this copy ends it the way "Exit Nimbrel" does.
    application.onExitRequest = [&form] { form.mnuExit_Click(); };
    // The session ending closes the program whatever "Quit button hides in tray" says.
    application.onSessionEnd = [&form] { form.Form_QueryUnload(MainForm::AppWindows); };
    // "Check For Upgrade" opens the AutoUpdate window. Proceed fetches through a transfer object of its own: an
    // error reported meanwhile does not cancel the download.
    const auto checkConnection = [&reporter] { return reporter.checkConnection(); };
    WinHttpTransfer updateTransfer(WinHttpTransfer::defaultTimeout, [&events] { events.doEvents(); });
    // A trial start lets the window's events run while it waits, and ends at a Cancel.
    const UpdateServer* updating = nullptr;
    Win32VendorTrust trust(NIMBREL_UPDATE_KEY, directory.path() + "\\update-key.pub", [&pausing, &updating] {
        pausing.doEvents();
        return updating == nullptr || !updating->cancelled();
    });
    UpdateServer updateServer({updateTransfer, events, trust, programFiles, directory, updateRegistry, checkConnection},
                              vendorServerUrl());
    updating = &updateServer;
    // Setup brings the updates of the copy it installed; another copy in a folder it cannot write has no way to them.
    const std::string installedCopyLine = directory.installedBySetup()
                                              ? installedBySetupLine(form.panels.homeAddress())
                                              : AutoUpdateDialog::unwritableFolderLine;
    AutoUpdateDialog updateDialog({updateServer, update, updateRegistry, trust, programFiles, directory, reporter,
                                   checkConnection, [] { return true; }, installedCopyLine});
    AutoUpdateWindow updateWindow(updateDialog, window.handle());
    form.trayMenu.Upnbl.onClick = [&updateDialog] { updateDialog.Upnbl_Click(); };
    form.launcher.showEditor = [&](LauncherEditor& editor) {
        // The editor owns what it opens: its Open dialog and its messages keep it from taking input meanwhile.
        LauncherEditorWindow dialog(editor, window.handle());
        programDialog.setOwner(dialog.handle());
        messages.setOwner(dialog.handle());
        dialog.run();
        messages.setOwner(window.handle());
        programDialog.setOwner(nullptr);
    };

    form.Form_Load();
    if (trial) {
        PostQuitMessage(trial.endCode());
    } else {
        // A new version that reaches its window and message loop stays; until then the old one can come back.
        update.startedUp();
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) deliver(message);
    return static_cast<int>(message.wParam);
}
