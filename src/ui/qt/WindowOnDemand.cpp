#include "ui/qt/WindowOnDemand.h"

#include "app/MainForm.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/QtMessageBoxes.h"
#include "ui/qt/QtTrayIcon.h"

namespace nimbrel::view {

WindowOnDemand::WindowOnDemand(MainForm& form, QtMessageBoxes& messages, QtTrayIcon& tray)
    : form_(form), messages_(messages), tray_(tray)
{
    // The models' observers cannot be taken back: this one checks that its guard still stands.
    form_.frmMain.changed.connect([this, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired() && form_.frmMain.shown() && !window_) window();
    });
}

WindowOnDemand::~WindowOnDemand() = default;

MainWindow& WindowOnDemand::window()
{
    if (!window_) {
        window_ = std::make_unique<MainWindow>(form_);
        messages_.setParentWindow(window_.get());
        tray_.setFileMenu(&window_->fileMenu());
    }
    return *window_;
}

} // namespace nimbrel::view
