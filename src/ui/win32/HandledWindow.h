#pragma once

#include <windows.h>

#include <optional>

namespace nimbrel::win32 {

// Something that answers the messages of a window of its own. The window's
// procedure hands every message to it; nullopt passes the message on to
// DefWindowProcW.
class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    virtual std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Registers (once) a window class of that name whose windows pass their messages to their handler.
void registerHandledClass(const wchar_t* className, HBRUSH background = nullptr, UINT style = 0);

// Creates a window of a registered handled class, answered by handler from its first message on.
HWND createHandledWindow(MessageHandler& handler, const wchar_t* className, const wchar_t* title, DWORD style,
                         DWORD exStyle, const RECT& place, HWND parent, HMENU menu = nullptr);

// Answers WM_PAINT: paint draws on the window's device context between BeginPaint and EndPaint.
template <typename Paint> LRESULT paintWindow(HWND window, Paint paint)
{
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    paint(dc);
    EndPaint(window, &ps);
    return 0;
}

} // namespace nimbrel::win32
