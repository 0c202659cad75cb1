#pragma once

#include "ui/win32/FormBuilder.h"
#include "ui/win32/HandledWindow.h"

namespace nimbrel {
class LauncherEditor;
}

namespace nimbrel::win32 {

// frmLauncher: the program list's editor, modal to the main window, built from the
// layout and bound to the editor's models. It closes when the editor hides it; its
// close box is "&Cancel".
class LauncherEditorWindow : private MessageHandler {
public:
    LauncherEditorWindow(LauncherEditor& editor, HWND owner);
    ~LauncherEditorWindow() override;
    LauncherEditorWindow(const LauncherEditorWindow&) = delete;
    LauncherEditorWindow& operator=(const LauncherEditorWindow&) = delete;

    HWND handle() const { return window_; }
    HWND control(std::string_view name) const { return controls_.control(name); }
    // The text the tooltip of the control of that name shows.
    std::wstring toolTip(std::string_view name) const { return controls_.toolTip(name); }

    // Shows the window and returns when the editor has closed it (or the program's loop is told to end).
    void run();

private:
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    LauncherEditor& editor_;
    HWND owner_;
    FormBuilder controls_;
    HWND window_ = nullptr;
};

} // namespace nimbrel::win32
