#include "SysTray.h"

#include "core/system/TrayIcon.h"
#include "core/base/Trap.h"
#include "core/controls/WindowModel.h"

namespace nimbrel {

void SysTray::setTip(const std::string& text) { tip_ = text.substr(0, std::min(text.size(), tipCapacity - 1)); }

std::string SysTray::shownTip() const
{
    if (!trayTipActive_ || secondLine_.empty()) return tip_;
    return tip_ + "\n" + secondLine_;
}

void SysTray::setSecondLine(const std::string& text)
{
    secondLine_ = text;
    if (!trayTipActive_ || !added_) return;
    const Trap trap(reporter_, "modSysTray,changeToolTip");
    trap([&] { icon_.modify(shownTip()); });
}

void SysTray::showIcon(const WindowModel& window)
{
    const Trap trap(reporter_, "modSysTray,showIcon");
    trap([&] {
        // One icon for the whole run: it is added once.
        if (added_) return;
        setTip(window.caption());
        icon_.add(tip_);
        added_ = true;
    });
    trayTipActive_ = true;
}

void SysTray::RemoveIcon(const WindowModel&)
{
    const Trap trap(reporter_, "modSysTray,RemoveIcon");
    trap([&] {
        if (!added_) return;
        tip_.clear();
        icon_.remove();
        added_ = false;
    });
    trayTipActive_ = false;
}

void SysTray::hideWindow(WindowModel& window)
{
    if (icon_.available()) {
        window.hide();
        return;
    }
    window.setMinimised(true);
    window.show();
}

void SysTray::changeToolTip(const WindowModel&, const std::string& text)
{
    if (!trayTipActive_) return;
    const Trap trap(reporter_, "modSysTray,changeToolTip");
    trap([&] {
        setTip(text);
        if (added_) icon_.modify(shownTip());
    });
}

} // namespace nimbrel
