#pragma once

#include "online/UpdatePhases.h"
#include "platform/linux/ProgramFolderFiles.h"
#include "platform/linux/VendorTrust.h"
#include "settings/ModReg.h"
#include "program/linux/QtHandOver.h"
#include "ui/qt/QtPausingEventLoop.h"

#include <functional>
#include <memory>
#include <string>

namespace nimbrel {
class AutoUpdateDialog;
class Clock;
class ErrorReporter;
class EventLoop;
class HttpTransfer;
class MenuEntryModel;
class MessageBoxes;
class ProgramDirectory;
class ProgramExit;
class RegistryStore;
class UpdateServer;
class UrlOpener;
} // namespace nimbrel

namespace nimbrel::view {
class AutoUpdateWindow;
} // namespace nimbrel::view

namespace nimbrel::program {

class SingleInstanceGuard;

// The update put together on Linux and Qt: the phases that run at start, and
// the "AutoUpdate" window that "Check For Upgrade" opens.
class SelfUpdate {
public:
    struct Services {
        SingleInstanceGuard& guard;
        RegistryStore& registry;
        ProgramDirectory& directory;
        Clock& clock;
        ProgramExit& exit;
        MessageBoxes& messages;
        UrlOpener& urls;
        ErrorReporter& reporter;
        std::string vendorServer;
        std::string builtInKey; // the base64 line of the vendor's minisign key, empty for none
    };

    explicit SelfUpdate(Services services);
    ~SelfUpdate();

    // The start-up step; the program is to end when exit has ended it.
    void finishUpdate() { phases_.finishUpdate(); }
    // The first turn of the event loop: a new version that came up this far stays.
    void startedUp() { phases_.startedUp(); }
    // Makes the menu entry open the dialog; Proceed fetches through the transfer object given, the update's own.
    // networkAvailable is false when the network client cannot be had.
    void attach(MenuEntryModel& upnbl, HttpTransfer& transfer, EventLoop& events, std::function<bool()> checkConnection,
                std::function<bool()> networkAvailable);

private:
    Services services_;
    ProgramFolderFiles files_;
    VendorTrust trust_;
    QtHandOver handOver_;
    view::QtPausingEventLoop pausing_;
    ModReg registry_;
    UpdatePhases phases_;
    std::unique_ptr<UpdateServer> server_;
    std::unique_ptr<AutoUpdateDialog> dialog_;
    std::unique_ptr<view::AutoUpdateWindow> window_; // made when first shown
};

} // namespace nimbrel::program
