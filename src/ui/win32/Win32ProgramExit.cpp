#include "ui/win32/Win32ProgramExit.h"

#include "ui/win32/Win32TimerScheduler.h"

#include <windows.h>

namespace nimbrel::win32 {

Win32ProgramExit::Win32ProgramExit(Win32TimerScheduler& timers, std::function<void()> end)
    : timers_(timers), end_(std::move(end))
{
}

std::function<void()> Win32ProgramExit::defaultEnd()
{
    // Nothing is written at exit: every setting was stored when it changed.
    return [] { ExitProcess(0); };
}

void Win32ProgramExit::endNow()
{
    if (ended_) return;
    ended_ = true;
    timers_.haltAll();
    if (end_) end_();
}

} // namespace nimbrel::win32
