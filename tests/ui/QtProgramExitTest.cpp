// Ending the program: nothing of it runs afterwards.

#include "ui/qt/QtProgramExit.h"

#include "core/controls/TimerModel.h"
#include "ui/qt/QtTimerScheduler.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

class QtProgramExitTest : public ::testing::Test {
protected:
    view::QtTimerScheduler timers;
    int quits = 0;
    // The real one would leave the test's event loop for good.
    view::QtProgramExit exit{timers, [this] { ++quits; }};
};

TEST_F(QtProgramExitTest, LeavesTheEventLoopOnce)
{
    exit.endNow();
    exit.endNow();

    EXPECT_TRUE(exit.ended());
    EXPECT_EQ(quits, 1);
}

TEST_F(QtProgramExitTest, NoTimerTicksAfterTheEnd)
{
    TimerModel timer(10);
    timers.attach(timer);
    int ticks = 0;
    timer.onTimer = [&] { ++ticks; };
    timer.setEnabled(true);

    exit.endNow();
    timer.setInterval(5); // a handler still running when the program ended changes a timer
    bool pendingRan = false;
    QTimer::singleShot(0, [&] { pendingRan = true; });
    QTimer::singleShot(0, [] {});
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    EXPECT_EQ(ticks, 0);
    EXPECT_FALSE(pendingRan);
}

TEST_F(QtProgramExitTest, NoClickIsHandledAfterTheEnd)
{
    QPushButton button(QStringLiteral("&Exit Nimbrel"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });

    exit.endNow();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &release);

    EXPECT_EQ(clicks, 0);
}

TEST(QtProgramExit, ClicksAreHandledWhileTheProgramRuns)
{
    view::QtTimerScheduler timers;
    view::QtProgramExit exit(timers, [] {});
    QPushButton button(QStringLiteral("&Exit Nimbrel"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &release);

    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(exit.ended());
}

} // namespace
} // namespace nimbrel::testing
