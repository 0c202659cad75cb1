#pragma once

#include "core/system/TimerScheduler.h"
#include "ui/win32/HandledWindow.h"

#include <memory>
#include <vector>

namespace nimbrel::win32 {

// Drives each timer model with a SetTimer timer of a message-only window:
// while the model runs the timer runs at its interval, and every change of
// the model starts the count afresh, as the classic timer control did.
class Win32TimerScheduler : public TimerScheduler, private MessageHandler {
public:
    Win32TimerScheduler();
    ~Win32TimerScheduler() override;
    Win32TimerScheduler(const Win32TimerScheduler&) = delete;
    Win32TimerScheduler& operator=(const Win32TimerScheduler&) = delete;

    void attach(TimerModel& timer) override;

private:
    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void follow(std::size_t index) const;

    HWND window_;
    std::vector<TimerModel*> timers_; // the timer id is the index plus one
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace nimbrel::win32
