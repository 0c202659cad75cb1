#pragma once

#include "core/system/TimerScheduler.h"

#include <memory>
#include <vector>

class QTimer;

namespace nimbrel::view {

// Drives each timer model with a QTimer of its own: while the model runs the
// QTimer runs at its interval, and every change of the model starts the count
// afresh, as the classic timer control did.
class QtTimerScheduler : public TimerScheduler {
public:
    QtTimerScheduler();
    ~QtTimerScheduler() override;
    QtTimerScheduler(const QtTimerScheduler&) = delete;
    QtTimerScheduler& operator=(const QtTimerScheduler&) = delete;

    void attach(TimerModel& timer) override;

    // Stops every timer for good: no tick is delivered afterwards, whatever
    // the models do. Used when the program ends.
    void haltAll();
    bool halted() const { return halted_; }

private:
    struct Driven;
    void follow(Driven& driven) const;

    std::vector<std::shared_ptr<Driven>> driven_;
    bool halted_ = false;
};

} // namespace nimbrel::view
