#include "ui/win32/Win32TimerScheduler.h"

#include "core/controls/TimerModel.h"
#include "ui/win32/UserAction.h"

#include <algorithm>

namespace nimbrel::win32 {

namespace {
constexpr const wchar_t* className = L"NimbrelTimers";
}

Win32TimerScheduler::Win32TimerScheduler()
{
    registerHandledClass(className);
    window_ = createHandledWindow(*this, className, L"", 0, 0, RECT{}, HWND_MESSAGE);
}

Win32TimerScheduler::~Win32TimerScheduler()
{
    *alive_ = false;
    if (window_ != nullptr) DestroyWindow(window_);
}

void Win32TimerScheduler::attach(TimerModel& timer)
{
    timers_.push_back(&timer);
    const std::size_t index = timers_.size() - 1;
    // The model may outlive the scheduler; its observer then does nothing.
    timer.changed.connect([this, index, alive = std::weak_ptr<bool>(alive_)] {
        if (!alive.expired()) follow(index);
    });
    follow(index);
}

void Win32TimerScheduler::follow(std::size_t index) const
{
    const TimerModel& timer = *timers_[index];
    if (!timer.running()) {
        KillTimer(window_, index + 1);
        return;
    }
    // SetTimer on an existing id replaces it, so the count begins afresh. The system
    // takes at least USER_TIMER_MINIMUM and at most USER_TIMER_MAXIMUM.
    const UINT interval = std::clamp<std::uint32_t>(timer.interval(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    SetTimer(window_, index + 1, interval, nullptr);
}

std::optional<LRESULT> Win32TimerScheduler::onMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    if (message != WM_TIMER) return std::nullopt;
    if (wParam >= 1 && wParam <= timers_.size()) {
        const TimerModel* timer = timers_[wParam - 1];
        runUserAction([timer] { timer->fire(); });
    }
    return 0;
}

} // namespace nimbrel::win32
