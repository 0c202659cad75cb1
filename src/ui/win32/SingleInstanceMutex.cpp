#include "ui/win32/SingleInstanceMutex.h"

#include "ui/win32/ApplicationWindow.h"

#include <thread>

namespace nimbrel::win32 {

SingleInstanceMutex::SingleInstanceMutex(const std::wstring& name)
{
    mutex_ = CreateMutexW(nullptr, FALSE, name.c_str());
    // A mutex that exists already belongs to a running copy; one that cannot be made at all leaves this copy to run.
    first_ = mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

SingleInstanceMutex::~SingleInstanceMutex() { letGo(); }

void SingleInstanceMutex::letGo()
{
    if (mutex_ != nullptr) CloseHandle(mutex_);
    mutex_ = nullptr;
}

bool SingleInstanceMutex::askRunningCopy(std::chrono::milliseconds patience) const
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        const HWND running = FindWindowW(ApplicationWindow::className, ApplicationWindow::title);
        if (running != nullptr) {
            // The system gives the foreground only to the program the user last worked with: this one.
            DWORD process = 0;
            GetWindowThreadProcessId(running, &process);
            AllowSetForegroundWindow(process);
            return PostMessageW(running, ApplicationWindow::activationRequest, 0, 0) != FALSE;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace nimbrel::win32
