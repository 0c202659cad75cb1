#include "ui/win32/LauncherEditorWindow.h"

#include "launcher/LauncherEditor.h"
#include "platform/windows/WideText.h"
#include "ui/win32/DialogKeys.h"
#include "ui/win32/DpiCalls.h"
#include "ui/win32/Placement.h"
#include "ui/win32/UserAction.h"
#include "ui/win32/Win32EventLoop.h"

namespace nimbrel::win32 {

namespace {

constexpr const wchar_t* className = L"NimbrelLauncherEditor";
constexpr DWORD windowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

} // namespace

LauncherEditorWindow::LauncherEditorWindow(LauncherEditor& editor, HWND owner)
    : editor_(editor), owner_(owner),
      controls_("frmLauncher", [&editor](std::string_view name) { return modelOf(editor, name); })
{
    registerHandledClass(className);
    window_ = createHandledWindow(*this, className, wide::fromUtf8(editor_.frmLauncher.caption()).c_str(), windowStyle,
                                  WS_EX_DLGMODALFRAME, RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT},
                                  owner_);
    controls_.build(window_, dpi::forWindow(window_));
    const SIZE outer = controls_.outerSize(windowStyle, false);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centreOn(window_, owner_);
    offerNoResizing(window_);
}

LauncherEditorWindow::~LauncherEditorWindow()
{
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    if (IsWindow(window_)) DestroyWindow(window_);
}

void LauncherEditorWindow::run()
{
    // Modal: the main window takes no input meanwhile, its timers keep running.
    if (owner_ != nullptr) EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    MSG message;
    while (editor_.frmLauncher.shown()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program's loop is to end: it gets the message back.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        deliver(message);
    }
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
}

std::optional<LRESULT> LauncherEditorWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        runUserAction([this] { editor_.cmdCancel_Click(); });
        return 0;
    case WM_COMMAND:
        // Escape is "&Cancel", as the close box is.
        return answerDialogKeys(wParam, lParam, [this] { editor_.cmdCancel_Click(); });
    case WM_DPICHANGED: controls_.dpiChanged(window, wParam, lParam); return 0;
    default: return std::nullopt;
    }
}

} // namespace nimbrel::win32
