// Nimbrel: composes the behaviour, the Linux services and the Qt view, and runs them.

#include "app/MainForm.h"
#include "online/OnlineReporter.h"
#include "online/UpdateServer.h"
#include "platform/common/Environment.h"
#include "platform/linux/AutostartEntry.h"
#include "platform/linux/DetachedProcessStarter.h"
#include "platform/linux/DiskTextFile.h"
#include "platform/linux/FileReplacement.h"
#include "platform/linux/GuardedMemoryBlock.h"
#include "platform/linux/IniProfileFile.h"
#include "platform/linux/KernelReclaim.h"
#include "platform/linux/OsReleaseVersion.h"
#include "platform/linux/ProcMeminfoStatus.h"
#include "platform/linux/ProcStatCounters.h"
#include "platform/linux/ProgramFolders.h"
#include "platform/linux/ReclaimOrBlock.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/XdgRegistryStore.h"
#include "program/linux/IconThemeFiles.h"
#include "program/linux/NetworkModule.h"
#include "program/linux/OnDemandProbe.h"
#include "program/linux/OnDemandTransfer.h"
#include "program/linux/SelfUpdate.h"
#include "program/linux/SingleInstanceGuard.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/QtEventLoop.h"
#include "ui/qt/QtMessageBoxes.h"
#include "ui/qt/QtPictureFiles.h"
#include "ui/qt/QtProgramDialog.h"
#include "ui/qt/QtProgramExit.h"
#include "ui/qt/QtTimerScheduler.h"
#include "ui/qt/QtTrayIcon.h"
#include "ui/qt/QtUrlOpener.h"
#include "ui/qt/QuitRequestFilter.h"
#include "ui/qt/WindowOnDemand.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTimer>

#include <filesystem>
#include <memory>

int main(int argc, char* argv[])
{
    using namespace nimbrel;

    // An update starting this file on trial (platform/linux/TrialStart: offscreen, with homes of its own) sees it
    // go through a real start, up to the first turn of the event loop, where it ends.
    const bool onTrial = startedOnTrial();
    QApplication app(argc, argv);
    // The desktop entry's name: Wayland compositors match the window to its entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("nimbrel"));
    // Hidden in the tray is still running: only the exit paths end the program.
    QApplication::setQuitOnLastWindowClosed(false);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    view::installAppIcon(app);

    // Another copy running: it has been asked to come forward (or did not
    // answer in time); either way this copy ends without a window.
    program::SingleInstanceGuard guard;
    MainForm* running = nullptr;
    guard.onActivationRequest = [&running] {
        if (running != nullptr) view::runUserAction([&] { running->frmMain.bringToFront(); });
    };
    if (guard.claim() != program::SingleInstanceGuard::Claim::First) return 0;

    ProcMeminfoStatus memory;
    GuardedMemoryBlock guardedBlock(memory);
    // A pass asks the kernel to reclaim where the user's cgroup lets it, and writes the guarded block otherwise.
    KernelReclaim kernelReclaim;
    ReclaimOrBlock block(guardedBlock, kernelReclaim, [] { return std::make_unique<ProcMeminfoStatus>(); });
    SystemClock clock;
    IniProfileFile profile;
    XdgRegistryStore registry;
    ProgramFolders directory;
    // What a run killed while it replaced a file left behind goes: in the folder of its settings
    // (a portable copy's own folder, with the program file and a downloaded update), its own
    // values and the autostart entry's folder. No other copy runs now, so no write of another is
    // under way. An installed copy writes nothing beside the program.
    for (const std::filesystem::path& folder : {std::filesystem::path(directory.settingsPath()),
                                                registry.keyFolder(UpdateServer::programKey),
                                                AutostartEntry::defaultFolder()}) {
        configfiles::removeLeftovers(folder);
    }
    // An installed copy's icon is in the system's theme. A portable copy puts it in the user's
    // theme, where the desktop finds the icon its autostart entry names; a size that a run
    // killed at its first start left missing or broken is made anew.
    if (directory.portable()) program::repairIconFiles(program::userIconTheme());
    ProcStatCounters counters;
    view::QtPictureFiles pictures;
    view::QtMessageBoxes messages;
    // Every trapped error goes to the vendor's server, with the system's identification.
    program::NetworkModule network(program::NetworkModule::installedPlaces(), program::builtNetworkModuleDigest());
    program::OnDemandTransfer transfer(network);
    program::OnDemandProbe probe(network, probeUrl());
    view::QtEventLoop events;
    OsReleaseVersion system;
    OnlineReporter reporter({transfer, probe, events, system, profile, directory}, vendorServerUrl());
    view::QtUrlOpener urls;
    view::QtTimerScheduler timers;
    view::QtProgramExit exit(timers);
    // The application's icon, drawn once: the window shows it too.
    view::QtTrayIcon trayIcon(QApplication::windowIcon());
    DetachedProcessStarter programs;
    view::QtProgramDialog programDialog;
    DiskTextFile files;

    // A pending upgrade is finished before anything else; its replacement step ends this process.
    program::SelfUpdate update({guard, registry, directory, clock, exit, messages, urls, reporter, vendorServerUrl(),
                             NIMBREL_UPDATE_KEY});
    update.finishUpdate();
    if (exit.ended()) return 0;

    MainForm form({{memory, block, messages, reporter, urls, exit, timers, clock, profile, registry, directory, pictures,
                   counters, nullptr, trayIcon, events, programs, programDialog, files}, vendorServerUrl(),
                   [&reporter](ModReg& registry) { reporter.getSystemInfo(registry); }});
    view::WindowOnDemand windows(form, messages, trayIcon);
    // A click on the icon may pop up the window's File menu: the window is made first.
    trayIcon.onNotification = [&form, &windows](int code) {
        windows.window();
        form.trayMenu.Form_MouseMove(code);
    };
    running = &form;
    // The update downloads through a transfer object of its own: an error reported meanwhile does not cancel it.
    program::OnDemandTransfer updateTransfer(network);
    update.attach(form.trayMenu.Upnbl, updateTransfer, events, [&reporter] { return reporter.checkConnection(); },
                  [&network] { return network.available(); });

    // The session ending closes the program whatever "Quit button hides in tray" says. The session
    // manager's commitData comes at every checkpoint too, so it is the "die" at the end, which Qt turns
    // into a quit request, that ends the program.
    const auto sessionEnds = [&] {
        if (!exit.ended()) form.Form_QueryUnload(MainForm::AppWindows);
    };
    view::QuitRequestFilter quitRequests(sessionEnds);
    app.installEventFilter(&quitRequests);
    // Should the event loop be left some other way, the shutdown steps still run.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&] { view::runUserAction(sessionEnds); });

    form.Form_Load();
    // A load step may already have ended the program; exec() would not notice.
    if (exit.ended()) return 0;
    if (onTrial) {
        QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    } else {
        // A new version that reaches its window and event loop stays; until then the old one can come back.
        QTimer::singleShot(0, &app, [&update] { view::runUserAction([&] { update.startedUp(); }); });
    }
    return app.exec();
}
