#pragma once

#include "core/controls/MenuEntryModel.h"
#include "core/controls/MenuGroupModel.h"

#include <vector>

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

    // The Programs menu lists no more programs than the list may hold; a longer list, written by hand, ends
    // in an entry that shows the whole list on the Launcher panel.
    static constexpr int maxPrograms = 30;
    static constexpr const char* moreCaption = "More\u2026";

    TrayMenu(Neighbours neighbours, ErrorReporter& reporter);

    void loadMenu();
    // The launcher list's line that entry index of the Programs menu starts; -1 for none.
    int programLine(int index) const;
    // True for the entry that stands for the rest of a long list.
    bool isMoreEntry(int index) const;
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
    std::vector<int> programLines_; // the line of each program entry, in menu order
    bool more_ = false;
};

} // namespace nimbrel
