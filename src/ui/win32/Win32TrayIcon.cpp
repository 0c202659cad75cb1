#include "ui/win32/Win32TrayIcon.h"

#include "platform/windows/WideText.h"
#include "tray/TrayMenu.h"
#include "ui/win32/GaugeIcon.h"
#include "ui/win32/UserAction.h"

#include <cwchar>

namespace nimbrel::win32 {

namespace {

template <std::size_t N> void copyCut(wchar_t (&field)[N], const std::wstring& text)
{
    // The field holds N - 1 characters and the NUL; a longer text is cut.
    std::wcsncpy(field, text.c_str(), N - 1);
    field[N - 1] = L'\0';
}

} // namespace

Win32TrayIcon::Win32TrayIcon(HWND window, HICON icon) : window_(window), icon_(icon), shown_(icon)
{
    // A program run elevated would otherwise not hear from a taskbar that runs as the plain user.
    ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
}

Win32TrayIcon::~Win32TrayIcon()
{
    remove();
    if (gauge_ != nullptr) DestroyIcon(gauge_);
}

NOTIFYICONDATAW Win32TrayIcon::record(UINT flags) const
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = 1;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = shown_;
    copyCut(data.szTip, toolTip_);
    return data;
}

void Win32TrayIcon::add(const std::string& toolTip)
{
    toolTip_ = wide::fromUtf8(toolTip);
    wanted_ = true;
    added_ = addToTray();
}

bool Win32TrayIcon::addToTray() const
{
    if (keptOut_) return false;
    NOTIFYICONDATAW data = record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void Win32TrayIcon::modify(const std::string& toolTip)
{
    toolTip_ = wide::fromUtf8(toolTip);
    NOTIFYICONDATAW data = record(NIF_TIP);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32TrayIcon::remove()
{
    wanted_ = false;
    if (!added_) return;
    NOTIFYICONDATAW data = record(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

void Win32TrayIcon::showMessage(const std::string& title, const std::string& text)
{
    NOTIFYICONDATAW data = record(NIF_INFO);
    copyCut(data.szInfoTitle, wide::fromUtf8(title));
    copyCut(data.szInfo, wide::fromUtf8(text));
    data.dwInfoFlags = NIIF_INFO;
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Win32TrayIcon::showGauge(std::optional<int> percent)
{
    HICON previous = gauge_;
    gauge_ = percent ? drawGaugeIcon(*percent, GetSystemMetrics(SM_CXSMICON)) : nullptr;
    setPicture(gauge_ != nullptr ? gauge_ : icon_);
    if (previous != nullptr) DestroyIcon(previous);
}

void Win32TrayIcon::setPicture(HICON picture)
{
    shown_ = picture;
    if (!added_) return;
    NOTIFYICONDATAW data = record(NIF_ICON);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool Win32TrayIcon::available() { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }

void Win32TrayIcon::setFileMenu(HMENU menu, HWND owner)
{
    fileMenu_ = menu;
    menuOwner_ = owner;
}

void Win32TrayIcon::popUpMenu()
{
    if (fileMenu_ == nullptr || menuOwner_ == nullptr) return;
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(menuOwner_);
    // The chosen entry's command goes to the owner as a menu choice does, after the menu has closed.
    TrackPopupMenu(fileMenu_, TPM_LEFTALIGN, at.x, at.y, 0, menuOwner_, nullptr);
    // So that the menu's next opening works the first time (the system's own advice for tray menus).
    PostMessageW(menuOwner_, WM_NULL, 0, 0);
}

std::optional<LRESULT> Win32TrayIcon::onMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == taskbarCreated_) {
        // A new taskbar (Explorer started again, or the first one late at logon) holds no icons: ours goes
        // in as it is now, if it is to be shown.
        if (wanted_) added_ = addToTray();
        return 0;
    }
    if (message != callbackMessage || wParam != 1) return std::nullopt;
    // The first version of the record: the mouse message is the whole of lParam.
    const UINT event = static_cast<UINT>(lParam);
    const int code = event == WM_LBUTTONDBLCLK ? TrayMenu::leftDoubleClick
                     : event == WM_RBUTTONUP   ? TrayMenu::rightButtonUp
                                               : 0;
    if (code != 0 && onNotification) runUserAction([&] { onNotification(code); });
    return 0;
}

} // namespace nimbrel::win32
