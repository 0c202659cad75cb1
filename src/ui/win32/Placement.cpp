#include "ui/win32/Placement.h"

#include <algorithm>

namespace nimbrel::win32 {

namespace {

// The window the next activated window is centred on; one for the thread, as its hook is.
thread_local HWND centringOwner = nullptr;
thread_local HHOOK centringHook = nullptr;

LRESULT CALLBACK centreWhenActivated(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && centringOwner != nullptr) {
        const auto activated = reinterpret_cast<HWND>(wParam);
        if (activated != centringOwner) {
            centreOn(activated, centringOwner);
            centringOwner = nullptr;
        }
    }
    return CallNextHookEx(centringHook, code, wParam, lParam);
}

// The work area of the screen the window is on (its owner's, where it has one).
RECT workAreaOf(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return monitor.rcWork;
}

// Moves the window's top-left corner to left, top, or as near as keeps the window inside the work area.
void placeInside(HWND window, const RECT& work, LONG left, LONG top)
{
    RECT own;
    GetWindowRect(window, &own);
    left = std::max(work.left, std::min(left, work.right - (own.right - own.left)));
    top = std::max(work.top, std::min(top, work.bottom - (own.bottom - own.top)));
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void centreOn(HWND window, HWND owner)
{
    const RECT work = workAreaOf(owner != nullptr ? owner : window);
    RECT over = work;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
    RECT own;
    GetWindowRect(window, &own);
    placeInside(window, work, over.left + (over.right - over.left - (own.right - own.left)) / 2,
                over.top + (over.bottom - over.top - (own.bottom - own.top)) / 2);
}

void keepInsideWorkArea(HWND window)
{
    RECT own;
    GetWindowRect(window, &own);
    placeInside(window, workAreaOf(window), own.left, own.top);
}

void offerNoResizing(HWND window)
{
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) return;
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
}

CentredNextWindow::CentredNextWindow(HWND owner) : previousOwner_(centringOwner), previousHook_(centringHook)
{
    if (owner == nullptr) return;
    hook_ = SetWindowsHookExW(WH_CBT, centreWhenActivated, nullptr, GetCurrentThreadId());
    if (hook_ == nullptr) return;
    centringOwner = owner;
    centringHook = hook_;
}

CentredNextWindow::~CentredNextWindow()
{
    if (hook_ == nullptr) return;
    UnhookWindowsHookEx(hook_);
    centringOwner = previousOwner_;
    centringHook = previousHook_;
}

} // namespace nimbrel::win32
