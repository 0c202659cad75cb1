#include "ui/qt/QtTimerScheduler.h"

#include "core/controls/TimerModel.h"
#include "ui/qt/Bindings.h"

#include <QTimer>

#include <algorithm>
#include <climits>

namespace nimbrel::view {

struct QtTimerScheduler::Driven {
    TimerModel* model;
    QTimer timer;
};

QtTimerScheduler::QtTimerScheduler() = default;

QtTimerScheduler::~QtTimerScheduler() = default;

void QtTimerScheduler::attach(TimerModel& timer)
{
    auto driven = std::make_shared<Driven>();
    driven->model = &timer;
    QObject::connect(&driven->timer, &QTimer::timeout, &driven->timer, [this, model = &timer] {
        if (!halted_) runUserAction([model] { model->fire(); });
    });
    // The model may outlive the scheduler; its observer then does nothing.
    std::weak_ptr<Driven> weak = driven;
    timer.changed.connect([this, weak] {
        if (const auto d = weak.lock()) follow(*d);
    });
    follow(*driven);
    driven_.push_back(std::move(driven));
}

void QtTimerScheduler::haltAll()
{
    halted_ = true;
    for (const auto& driven : driven_) driven->timer.stop();
}

void QtTimerScheduler::follow(Driven& driven) const
{
    if (halted_ || !driven.model->running()) {
        driven.timer.stop();
        return;
    }
    // start() restarts a running timer, so the count begins afresh.
    driven.timer.start(static_cast<int>(std::min<std::uint32_t>(driven.model->interval(), INT_MAX)));
}

} // namespace nimbrel::view
