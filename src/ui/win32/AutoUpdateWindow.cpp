#include "ui/win32/AutoUpdateWindow.h"

#include "online/AutoUpdateDialog.h"
#include "platform/windows/WideText.h"
#include "ui/win32/ControlBindings.h"
#include "ui/win32/DialogKeys.h"
#include "ui/win32/DpiCalls.h"
#include "ui/win32/Placement.h"
#include "ui/win32/UserAction.h"

namespace nimbrel::win32 {

namespace {

constexpr const wchar_t* className = L"NimbrelAutoUpdate";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

} // namespace

AutoUpdateWindow::AutoUpdateWindow(AutoUpdateDialog& dialog, HWND over)
    : dialog_(dialog), over_(over),
      controls_("frmAutoUpdate", [&dialog](std::string_view name) { return modelOf(dialog, name); })
{
    registerHandledClass(className);
    window_ = createHandledWindow(*this, className, wide::fromUtf8(dialog_.frmAutoUpdate.caption()).c_str(),
                                  windowStyle, 0, RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT},
                                  nullptr);
    controls_.build(window_, dpi::forWindow(window_));
    const SIZE outer = controls_.outerSize(windowStyle, false);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    offerNoResizing(window_);

    followWindowModel();
    const std::weak_ptr<bool> alive = controls_.alive();
    dialog_.frmAutoUpdate.changed.connect([this, alive] {
        if (!alive.expired()) followWindowModel();
    });
    dialog_.frmAutoUpdate.raiseRequested.connect([this, alive] {
        if (!alive.expired()) SetForegroundWindow(window_);
    });
}

AutoUpdateWindow::~AutoUpdateWindow()
{
    if (IsWindow(window_)) DestroyWindow(window_);
}

void AutoUpdateWindow::followWindowModel()
{
    setText(window_, dialog_.frmAutoUpdate.caption());
    const bool shown = dialog_.frmAutoUpdate.shown();
    if (shown == (IsWindowVisible(window_) != FALSE)) return;
    // Each time it opens, over the main window.
    if (shown) centreOn(window_, over_);
    ShowWindow(window_, shown ? SW_SHOW : SW_HIDE);
}

std::optional<LRESULT> AutoUpdateWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // The close box closes the dialog as "Cancel" does; the model decides what is shown.
        runUserAction([this] { dialog_.cmdCancel_Click(); });
        return 0;
    case WM_COMMAND:
        // Escape too, as it would a dialog's.
        return answerDialogKeys(wParam, lParam, [this] { dialog_.cmdCancel_Click(); });
    case WM_DPICHANGED: controls_.dpiChanged(window, wParam, lParam); return 0;
    default: return std::nullopt;
    }
}

} // namespace nimbrel::win32
