#include "ui/win32/HandledWindow.h"

namespace nimbrel::win32 {

namespace {

LRESULT CALLBACK handledWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* handler = reinterpret_cast<MessageHandler*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (handler != nullptr) {
        if (const std::optional<LRESULT> answer = handler->onMessage(window, message, wParam, lParam)) return *answer;
    }
    // The handler goes with its window: nothing reaches it after the window is gone.
    if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void registerHandledClass(const wchar_t* className, HBRUSH background, UINT style)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, className, &existing)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = handledWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    RegisterClassExW(&windowClass);
}

HWND createHandledWindow(MessageHandler& handler, const wchar_t* className, const wchar_t* title, DWORD style,
                         DWORD exStyle, const RECT& place, HWND parent, HMENU menu)
{
    return CreateWindowExW(exStyle, className, title, style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, menu, GetModuleHandleW(nullptr), &handler);
}

} // namespace nimbrel::win32
