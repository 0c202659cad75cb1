#include "ui/win32/Win32EventLoop.h"

#include <windows.h>

namespace nimbrel::win32 {

void deliver(MSG& message)
{
    // Tab, the arrow keys and the access keys move between the controls of the top-level window.
    const HWND topLevel = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (topLevel != nullptr && IsDialogMessageW(topLevel, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32EventLoop::doEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The outer loop is the one to end.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        deliver(message);
    }
}

} // namespace nimbrel::win32
