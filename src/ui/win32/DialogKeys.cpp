#include "ui/win32/DialogKeys.h"

#include "ui/win32/UserAction.h"

#include <commctrl.h>

namespace nimbrel::win32 {

namespace {

bool isPushButton(HWND control)
{
    wchar_t kind[16] = L"";
    GetClassNameW(control, kind, 16);
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return _wcsicmp(kind, L"Button") == 0 &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW);
}

bool isText(HWND control)
{
    wchar_t kind[16] = L"";
    GetClassNameW(control, kind, 16);
    return _wcsicmp(kind, L"Static") == 0;
}

bool activates(HWND control, const MSG* message)
{
    if (message == nullptr || message->message != WM_KEYDOWN) return false;
    return message->wParam == VK_RETURN || (message->wParam == VK_SPACE && isText(control));
}

LRESULT CALLBACK enterSubclass(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                               DWORD_PTR notification)
{
    switch (message) {
    case WM_GETDLGCODE:
        // The key comes here instead of becoming the window's IDOK.
        if (activates(control, reinterpret_cast<const MSG*>(lParam))) return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || (wParam == VK_SPACE && isText(control))) {
            SendMessageW(GetParent(control), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(control), static_cast<WORD>(notification)),
                         reinterpret_cast<LPARAM>(control));
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (isText(control)) InvalidateRect(control, nullptr, TRUE);
        break;
    case WM_PAINT:
        if (isText(control) && GetFocus() == control) {
            const LRESULT painted = DefSubclassProc(control, message, wParam, lParam);
            RECT frame;
            GetClientRect(control, &frame);
            const HDC dc = GetDC(control);
            DrawFocusRect(dc, &frame);
            ReleaseDC(control, dc);
            return painted;
        }
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(control, enterSubclass, 0); break;
    default: break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

std::optional<LRESULT> answerDialogKeys(WPARAM wParam, LPARAM lParam, const std::function<void()>& cancel)
{
    // The keys' commands name no control; a control's own notification does.
    if (lParam != 0 || HIWORD(wParam) != 0) return std::nullopt;
    switch (LOWORD(wParam)) {
    case IDCANCEL:
        if (cancel) runUserAction(cancel);
        return 0;
    case IDOK:
        if (const HWND focused = GetFocus(); focused != nullptr && isPushButton(focused)) {
            SendMessageW(focused, BM_CLICK, 0, 0);
        }
        return 0;
    default: return std::nullopt;
    }
}

void answerEnterAs(HWND control, WORD notification)
{
    SetWindowSubclass(control, enterSubclass, 0, notification);
}

} // namespace nimbrel::win32
