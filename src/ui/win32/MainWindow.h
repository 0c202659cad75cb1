#pragma once

#include "ui/win32/FormBuilder.h"
#include "ui/win32/HandledWindow.h"
#include "ui/win32/MenuBar.h"

#include <memory>
#include <string_view>

namespace nimbrel {
class MainForm;
}

namespace nimbrel::win32 {

// frmMain: the main window built from the layout and bound to the form's models.
// The window follows frmMain's caption, visibility and minimised state; closing it
// asks the form whether it may close.
class MainWindow : private MessageHandler {
public:
    explicit MainWindow(MainForm& form);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND handle() const { return window_; }
    // The control of that name; the scale's marks are lblP0 ... lblV3.
    HWND control(std::string_view name) const { return controls_.control(name); }
    // The container of that panel or frame; the client area for "frmMain".
    HWND container(std::string_view name) const { return controls_.container(name); }
    // The text the tooltip of the control of that name shows.
    std::wstring toolTip(std::string_view name) const { return controls_.toolTip(name); }
    MenuBar& menus() { return *menus_; }
    UINT dpi() const { return controls_.dpi(); }
    // From now on the window is never shown, whatever frmMain says: a start on trial runs it unseen.
    void keepHidden();

private:
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool buildScale(FormBuilder& builder, Container& container, const ControlLayout& row);
    void resize();
    void followWindowModel();
    void bringToFront();

    MainForm& form_;
    FormBuilder controls_;
    std::unique_ptr<MenuBar> menus_;
    HWND window_ = nullptr;
    bool followingModel_ = false;
    bool keptHidden_ = false;
};

} // namespace nimbrel::win32
