#pragma once

#include "core/system/TrayIcon.h"
#include "ui/win32/HandledWindow.h"

#include <shellapi.h>

#include <functional>
#include <string>

namespace nimbrel::win32 {

// The program's icon in the notification area, through Shell_NotifyIconW. The icon's
// notifications come to a hidden window of the program's own on a private message,
// so that they are never mistaken for the mouse moving over a window; each is handed
// on as the code the form expects: 0x203 for a left double-click, 0x205 for the right
// button released. Other notifications are not passed on. When the taskbar is made
// anew, the system tells every top-level window by the registered message
// "TaskbarCreated"; the icon, while shown, is then added again to the new one, and
// an icon no taskbar took at first is added then.
class Win32TrayIcon : public TrayIcon, public MessageHandler {
public:
    // window, a top-level one, receives the notifications; icon is the picture the icon shows.
    Win32TrayIcon(HWND window, HICON icon);
    ~Win32TrayIcon() override;
    Win32TrayIcon(const Win32TrayIcon&) = delete;
    Win32TrayIcon& operator=(const Win32TrayIcon&) = delete;

    void add(const std::string& toolTip) override;
    void modify(const std::string& toolTip) override;
    void remove() override;
    void popUpMenu() override;
    void showMessage(const std::string& title, const std::string& text) override;
    void showGauge(std::optional<int> percent) override;
    bool available() override;

    // From now on the icon does all it does except go to the notification area: a start on trial runs it unseen.
    void keepOutOfTray() { keptOut_ = true; }

    // The menu popUpMenu shows (the main window's File menu) and the window its choices go to.
    void setFileMenu(HMENU menu, HWND owner);

    // Answers the private notification message of the icon and the taskbar's coming back;
    // the owner window's procedure passes its messages through here first.
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    std::function<void(int)> onNotification;

    static constexpr UINT callbackMessage = WM_APP + 1;

private:
    NOTIFYICONDATAW record(UINT flags) const;
    // Puts the icon in the notification area as it is now; false where the area refuses it.
    bool addToTray() const;
    void setPicture(HICON picture);

    HWND window_;
    HICON icon_;
    HICON gauge_ = nullptr;
    HICON shown_;
    std::wstring toolTip_;
    HMENU fileMenu_ = nullptr;
    HWND menuOwner_ = nullptr;
    bool wanted_ = false; // shown until removed, whether or not a taskbar took it
    bool added_ = false;
    bool keptOut_ = false;
    const UINT taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
};

} // namespace nimbrel::win32
