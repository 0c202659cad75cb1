#pragma once

#include <memory>

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

class MainWindow;
class QtMessageBoxes;
class QtTrayIcon;

// The main window, made when it is first to be seen or its File menu is
// wanted: a start hidden in the tray builds none of its widgets until the
// user asks for them. Message boxes then centre on it, and the tray icon
// pops up its File menu.
class WindowOnDemand {
public:
    // The form, the message boxes and the tray icon must outlive this.
    WindowOnDemand(MainForm& form, QtMessageBoxes& messages, QtTrayIcon& tray);
    ~WindowOnDemand();

    // The window, made now if it was not.
    MainWindow& window();
    bool made() const { return window_ != nullptr; }

private:
    MainForm& form_;
    QtMessageBoxes& messages_;
    QtTrayIcon& tray_;
    std::unique_ptr<MainWindow> window_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nimbrel::view
