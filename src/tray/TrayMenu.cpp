#include "TrayMenu.h"

#include "SysTray.h"
#include "core/controls/ListModel.h"
#include "core/system/TrayIcon.h"
#include "core/base/Trap.h"
#include "core/controls/WindowModel.h"
#include "launcher/ProgramEntry.h"
#include "memory/ReleaseEngine.h"

namespace nimbrel {

TrayMenu::TrayMenu(Neighbours neighbours, ErrorReporter& reporter) : n_(neighbours), reporter_(reporter)
{
    mnuShow.onClick = [this] { mnuShow_Click(); };
}

void TrayMenu::loadMenu()
{
    const Trap trap(reporter_, "frmMain,loadMenu");
    trap([&] { mnuP1.truncate(); });
    programLines_.clear();
    more_ = false;
    trap([&] { n_.mnuRelease.setCaption(releaseEntryCaption(n_.lstRam)); });
    for (int i = 0; i < n_.lstLauncher.count(); ++i) {
        // A line without a program (blank, or without "|" and a name) has nothing to show or start.
        const std::string& line = n_.lstLauncher.item(i);
        if (!programPath(line)) continue;
        const std::string name = programName(line);
        if (name.empty()) continue;
        if (static_cast<int>(programLines_.size()) == maxPrograms) {
            more_ = true;
            break;
        }
        const bool first = programLines_.empty();
        if (!trap([&] { first ? mnuP1.setCaption(0, name) : mnuP1.append(name); })) continue;
        programLines_.push_back(i);
    }
    if (programLines_.empty()) {
        trap([&] { mnuPrograms.setEnabled(false); });
        return;
    }
    if (more_) trap([&] { mnuP1.append(moreCaption); });
    trap([&] { mnuPrograms.setEnabled(true); });
}

int TrayMenu::programLine(int index) const
{
    if (index < 0 || index >= static_cast<int>(programLines_.size())) return -1;
    return programLines_[static_cast<std::size_t>(index)];
}

bool TrayMenu::isMoreEntry(int index) const { return more_ && index == static_cast<int>(programLines_.size()); }

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
