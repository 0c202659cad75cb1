#pragma once

#include "core/MenuEntryModel.h"
#include "core/MenuGroupModel.h"

namespace nimbrel {

class ErrorReporter;
class ListModel;
class SysTray;
class TrayIcon;
class WindowModel;

// The File menu, which is also the icon's pop-up menu, and what the icon's
// clicks do.
class TrayMenu {
public:
    // The notification codes the icon sends.
    static constexpr int leftDoubleClick = 0x203;
    static constexpr int rightButtonUp = 0x205;

    struct Neighbours {
        WindowModel& window;
        SysTray& tray;
        TrayIcon& icon;
        MenuEntryModel& mnuRelease;
        const ListModel& lstRam;
        const ListModel& lstLauncher;
    };

    TrayMenu(Neighbours neighbours, ErrorReporter& reporter);

    void loadMenu();
    // One notification of the icon, with its code.
    void Form_MouseMove(int code);
    void mnuShow_Click();

    MenuEntryModel mnuShow{"Display Nimbrel"};
    MenuEntryModel mnuPrograms{"&Programs"};
    MenuGroupModel mnuP1{"mnuP1"};
    MenuEntryModel Upnbl{"Check For Upgrade"};

private:
    void bringForward();

    Neighbours n_;
    ErrorReporter& reporter_;
};

} // namespace nimbrel
