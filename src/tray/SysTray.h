#pragma once

#include <string>

namespace nimbrel {

class ErrorReporter;
class TrayIcon;
class WindowModel;

// The icon in the notification area and its tooltip, which repeats the
// window's caption while the window is hidden.
class SysTray {
public:
    // The tooltip field holds 64 characters with its terminator: at most 63 show.
    static constexpr std::size_t tipCapacity = 64;

    SysTray(TrayIcon& icon, ErrorReporter& reporter) : icon_(icon), reporter_(reporter) {}

    void showIcon(const WindowModel& window);
    void RemoveIcon(const WindowModel& window);
    void changeToolTip(const WindowModel& window, const std::string& text);
    // A line under the caption in the tooltip while the window is hidden (the last release's outcome).
    void setSecondLine(const std::string& text);
    // Hides the window, leaving the icon to bring it back. Without a
    // notification area there would be nothing left to click: the window is
    // minimised instead.
    void hideWindow(WindowModel& window);

    bool trayTipActive() const { return trayTipActive_; }
    void setTrayTipActive(bool active) { trayTipActive_ = active; }

    // The tooltip's first line as the icon shows it.
    const std::string& toolTip() const { return tip_; }

private:
    void setTip(const std::string& text);
    // The tooltip given to the icon: the caption, and the second line while the window is hidden.
    std::string shownTip() const;

    TrayIcon& icon_;
    ErrorReporter& reporter_;
    std::string tip_;
    std::string secondLine_;
    bool added_ = false;
    bool trayTipActive_ = false;
};

} // namespace nimbrel
