#include "ui/win32/ApplicationWindow.h"

#include "ui/win32/UserAction.h"

#include <string>

namespace nimbrel::win32 {

ApplicationWindow::ApplicationWindow()
{
    registerHandledClass(className);
    // Never shown: a top-level window all the same, so that FindWindowW and the session see it.
    window_ = createHandledWindow(*this, className, title, WS_POPUP, WS_EX_TOOLWINDOW, RECT{}, nullptr);
}

ApplicationWindow::~ApplicationWindow()
{
    if (window_ != nullptr) DestroyWindow(window_);
    if (takenRequest_ != nullptr) CloseHandle(takenRequest_);
}

bool ApplicationWindow::takeExitRequest(WPARAM asker)
{
    // An installer that gave up waiting (this copy hung) has taken its request back: this copy, answering late,
    // stays, as the installer said it would.
    const std::wstring sign = exitRequestSign + std::to_wstring(asker);
    const HANDLE taken = OpenEventW(SYNCHRONIZE, FALSE, sign.c_str());
    if (taken == nullptr) return false;
    if (takenRequest_ != nullptr) CloseHandle(takenRequest_);
    takenRequest_ = taken;
    return true;
}

std::optional<LRESULT> ApplicationWindow::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    for (MessageHandler* handler : handlers_) {
        if (const std::optional<LRESULT> answer = handler->onMessage(window, message, wParam, lParam)) return answer;
    }
    switch (message) {
    case activationRequest:
        if (onActivationRequest) runUserAction(onActivationRequest);
        return 0;
    case exitRequest:
        if (takeExitRequest(wParam) && onExitRequest) runUserAction(onExitRequest);
        return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
        if (wParam != FALSE && onSessionEnd) runUserAction(onSessionEnd);
        return 0;
    default: return std::nullopt;
    }
}

} // namespace nimbrel::win32
