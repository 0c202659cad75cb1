#pragma once

#include <optional>

namespace nimbrel {

class CheckBoxModel;
class LabelModel;
class TrayIcon;

// The tray icon as a gauge of available physical memory, while "Show available memory in the tray icon" is
// checked: it follows the Release RAM panel's "% Available", and the icon is given a new picture only when
// what it shows changes.
class TrayGauge {
public:
    TrayGauge(TrayIcon& icon, const CheckBoxModel& chkTrayGauge, const LabelModel& lblPPercent);

    void refresh();

private:
    TrayIcon& icon_;
    const CheckBoxModel& enabled_;
    const LabelModel& percent_;
    std::optional<int> shown_; // nothing while the icon is the program's own
};

} // namespace nimbrel
