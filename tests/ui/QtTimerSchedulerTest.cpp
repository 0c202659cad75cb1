// Timer models driven by real QTimers.

#include "ui/qt/QtTimerScheduler.h"

#include "core/controls/TimerModel.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

// Runs the event loop until stop() or, failing that, for a generous while.
class Loop {
public:
    void run(int patienceMs = 10000)
    {
        QTimer::singleShot(patienceMs, &loop_, &QEventLoop::quit);
        loop_.exec();
    }
    void stop() { loop_.quit(); }

private:
    QEventLoop loop_;
};

TEST(QtTimerScheduler, AnEnabledTimerTicks)
{
    view::QtTimerScheduler scheduler;
    TimerModel timer(10);
    scheduler.attach(timer);
    Loop loop;
    int ticks = 0;
    timer.onTimer = [&] {
        ++ticks;
        loop.stop();
    };

    timer.setEnabled(true);
    loop.run();

    EXPECT_GE(ticks, 1);
}

TEST(QtTimerScheduler, ATimerEnabledBeforeItIsAttachedTicks)
{
    view::QtTimerScheduler scheduler;
    TimerModel timer(10);
    timer.setEnabled(true);
    Loop loop;
    int ticks = 0;
    timer.onTimer = [&] {
        ++ticks;
        loop.stop();
    };

    scheduler.attach(timer);
    loop.run();

    EXPECT_GE(ticks, 1);
}

TEST(QtTimerScheduler, ATimerDisabledInItsOwnTickTicksNoMore)
{
    view::QtTimerScheduler scheduler;
    TimerModel timer(10);
    TimerModel witness(10);
    scheduler.attach(timer);
    scheduler.attach(witness);
    Loop loop;
    int ticks = 0;
    int witnessTicks = 0;
    timer.onTimer = [&] {
        ++ticks;
        timer.setEnabled(false);
    };
    // The witness keeps ticking, so the disabled timer had every chance to tick again.
    witness.onTimer = [&] {
        if (++witnessTicks == 10) loop.stop();
    };

    timer.setEnabled(true);
    witness.setEnabled(true);
    loop.run();

    EXPECT_EQ(witnessTicks, 10);
    EXPECT_EQ(ticks, 1);
}

TEST(QtTimerScheduler, AnIntervalOfZeroDoesNotTick)
{
    view::QtTimerScheduler scheduler;
    TimerModel idle(0);
    TimerModel witness(10);
    scheduler.attach(idle);
    scheduler.attach(witness);
    Loop loop;
    int idleTicks = 0;
    int witnessTicks = 0;
    idle.onTimer = [&] { ++idleTicks; };
    witness.onTimer = [&] {
        if (++witnessTicks == 5) loop.stop();
    };

    idle.setEnabled(true);
    witness.setEnabled(true);
    loop.run();

    EXPECT_EQ(witnessTicks, 5);
    EXPECT_EQ(idleTicks, 0);
}

TEST(QtTimerScheduler, AfterHaltingNothingTicksWhateverTheModelsDo)
{
    view::QtTimerScheduler scheduler;
    TimerModel running(10);
    TimerModel later(10);
    scheduler.attach(running);
    scheduler.attach(later);
    int ticks = 0;
    running.onTimer = [&] { ++ticks; };
    later.onTimer = [&] { ++ticks; };
    running.setEnabled(true);

    scheduler.haltAll();
    later.setEnabled(true);
    running.setInterval(20);
    Loop loop;
    QTimer::singleShot(200, [&] { loop.stop(); });
    loop.run();

    EXPECT_TRUE(scheduler.halted());
    EXPECT_EQ(ticks, 0);
}

// Under the sanitizers this fails on a dangling scheduler.
TEST(QtTimerScheduler, AModelThatOutlivesTheSchedulerCanStillChange)
{
    TimerModel timer(10);
    {
        view::QtTimerScheduler scheduler;
        scheduler.attach(timer);
    }
    timer.setEnabled(true);
    timer.setInterval(20);
    EXPECT_TRUE(timer.running());
}

} // namespace
} // namespace nimbrel::testing
