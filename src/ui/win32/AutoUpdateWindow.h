#pragma once

#include "ui/win32/FormBuilder.h"
#include "ui/win32/HandledWindow.h"

namespace nimbrel {
class AutoUpdateDialog;
}

namespace nimbrel::win32 {

// frmAutoUpdate: the "AutoUpdate" window, a top-level window of its own, not modal and
// without owner, built from the layout and mirroring the dialog's models. It opens over
// the main window; its close box and Escape are "Cancel".
class AutoUpdateWindow : private MessageHandler {
public:
    AutoUpdateWindow(AutoUpdateDialog& dialog, HWND over);
    ~AutoUpdateWindow() override;
    AutoUpdateWindow(const AutoUpdateWindow&) = delete;
    AutoUpdateWindow& operator=(const AutoUpdateWindow&) = delete;

    HWND handle() const { return window_; }
    HWND control(std::string_view name) const { return controls_.control(name); }

private:
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void followWindowModel();

    AutoUpdateDialog& dialog_;
    HWND over_;
    FormBuilder controls_;
    HWND window_ = nullptr;
};

} // namespace nimbrel::win32
