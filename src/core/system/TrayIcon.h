#pragma once

#include <optional>
#include <string>

namespace nimbrel {

// The program's icon in the desktop's notification area.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // Adds the icon with its tooltip.
    virtual void add(const std::string& toolTip) = 0;
    // Changes the tooltip of the icon.
    virtual void modify(const std::string& toolTip) = 0;
    // Removes the icon.
    virtual void remove() = 0;
    // Shows the File menu as a pop-up at the mouse position and returns when it has closed.
    virtual void popUpMenu() = 0;
    // Tells the user something through the desktop's notifications, without waiting.
    virtual void showMessage(const std::string& title, const std::string& text) = 0;
    // Shows the available memory in percent as the icon's picture, or the program's icon for nothing.
    virtual void showGauge(std::optional<int> percent) = 0;
    // Whether the desktop has a notification area to show the icon in, now.
    virtual bool available() = 0;
};

} // namespace nimbrel
