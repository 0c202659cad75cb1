#include "ui/win32/Win32PausingEventLoop.h"

#include "ui/win32/Win32EventLoop.h"

namespace nimbrel::win32 {

namespace {
constexpr DWORD momentMs = 20;
} // namespace

void Win32PausingEventLoop::doEvents()
{
    // Wakes at once for a message, or after the moment.
    MsgWaitForMultipleObjectsEx(0, nullptr, momentMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    Win32EventLoop().doEvents();
}

} // namespace nimbrel::win32
