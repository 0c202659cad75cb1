#include "TrayMenu.h"

#include "SysTray.h"
#include "core/ListModel.h"
#include "core/TrayIcon.h"
#include "core/Trap.h"
#include "core/WindowModel.h"
#include "launcher/ProgramEntry.h"

namespace nimbrel {

TrayMenu::TrayMenu(Neighbours neighbours, ErrorReporter& reporter) : n_(neighbours), reporter_(reporter)
{
    mnuShow.onClick = [this] { mnuShow_Click(); };
}

void TrayMenu::loadMenu()
{
    const Trap trap(reporter_, "frmMain,loadMenu");
    trap([&] { mnuP1.truncate(); });
    trap([&] { n_.mnuRelease.setCaption("Free Up " + n_.lstRam.text() + " Now"); });
    if (n_.lstLauncher.count() == 0) {
        trap([&] { mnuPrograms.setEnabled(false); });
        return;
    }
    trap([&] { mnuP1.setCaption(0, programName(n_.lstLauncher.item(0))); });
    for (int i = 1; i < n_.lstLauncher.count(); ++i) {
        trap([&] { mnuP1.append("mnuP1"); });
        trap([&] { mnuP1.setCaption(i, programName(n_.lstLauncher.item(i))); });
    }
    trap([&] { mnuPrograms.setEnabled(true); });
}

void TrayMenu::bringForward() { n_.window.bringToFront(); }

void TrayMenu::Form_MouseMove(int code)
{
    const Trap trap(reporter_, "frmMain,Form_MouseMove");
    if (code != leftDoubleClick && code != rightButtonUp) return;
    if (n_.window.shown()) {
        trap([&] { bringForward(); });
    } else if (code == leftDoubleClick) {
        trap([&] { mnuShow_Click(); });
    } else {
        trap([&] { n_.icon.popUpMenu(); });
    }
}

void TrayMenu::mnuShow_Click()
{
    const Trap trap(reporter_, "frmMain,mnuShow_Click");
    trap([&] { n_.window.show(); });
    trap([&] { n_.window.setMinimised(false); });
    n_.tray.setTrayTipActive(false);
}

} // namespace nimbrel
