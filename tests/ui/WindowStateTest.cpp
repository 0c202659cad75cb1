// The window following frmMain, and closing, hiding and exiting it.

#include "UiTestSupport.h"

#include "ui/qt/QuitRequestFilter.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

namespace nimbrel::testing {
namespace {

TEST_F(MainWindowTest, HideHidesTheWindowAndBringingItToFrontShowsItAgain)
{
    click(child<QPushButton>("cmdHide"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(form.sysTray.trayTipActive());

    form.frmMain.bringToFront();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindowTest, BringingAMinimisedWindowToFrontRestoresIt)
{
    form.frmMain.setMinimised(true);
    EXPECT_TRUE(window->isMinimized());

    form.frmMain.bringToFront();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(form.frmMain.minimised());
}

TEST_F(MainWindowTest, TheUserMinimisingAndRestoringTheWindowIsTold)
{
    window->showMinimized();
    EXPECT_TRUE(form.frmMain.minimised());
    EXPECT_TRUE(window->isMinimized());

    window->showNormal();
    EXPECT_FALSE(form.frmMain.minimised());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ClosingTheWindowWithoutQuitToTrayEndsTheProgram)
{
    form.startup.chkQuit.setValue(0);

    EXPECT_TRUE(window->close());

    EXPECT_EQ(harness.exit.ended, 1);
    EXPECT_FALSE(form.engine.tmrRam.enabled());
}

TEST_F(MainWindowTest, ClosingWithQuitToTrayOnlyHidesTheWindow)
{
    ASSERT_TRUE(form.startup.chkQuit.checked()); // as it is without a settings file

    EXPECT_FALSE(window->close());

    EXPECT_EQ(harness.exit.ended, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(form.frmMain.shown());
    EXPECT_TRUE(form.sysTray.trayTipActive());
}

TEST_F(MainWindowTest, ExitNimbrelEndsTheProgram)
{
    click(child<QPushButton>("cmdExit"));

    EXPECT_EQ(harness.exit.ended, 1);
}

TEST_F(MainWindowTest, TheSessionEndingEndsTheProgramEvenWithQuitToTray)
{
    ASSERT_TRUE(form.startup.chkQuit.checked());
    view::QuitRequestFilter quitRequests([&] { form.Form_QueryUnload(MainForm::AppWindows); });
    QCoreApplication::instance()->installEventFilter(&quitRequests);

    // What Qt makes of the session manager's "die".
    QEvent quit(QEvent::Quit);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);

    EXPECT_EQ(harness.exit.ended, 1);
    // The window was not asked to close, so "Quit button hides in tray" had no say.
    EXPECT_TRUE(form.frmMain.shown());
}

TEST(QuitRequestFilter, LeavesOtherEventsAlone)
{
    int quits = 0;
    view::QuitRequestFilter quitRequests([&] { ++quits; });
    QCoreApplication::instance()->installEventFilter(&quitRequests);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });

    QCoreApplication::processEvents();

    EXPECT_TRUE(ran);
    EXPECT_EQ(quits, 0);
}

TEST(MainWindowStart, AWindowWhoseDisplayModeIsHiddenStaysHidden)
{
    FormHarness harness;
    harness.profile.store("Startup", "Display", "2");
    view::MainWindow window(harness.form);

    harness.form.Form_Load();

    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindowStart, AWindowWhoseDisplayModeIsMinimisedStartsMinimised)
{
    FormHarness harness;
    harness.profile.store("Startup", "Display", "1");
    view::MainWindow window(harness.form);

    harness.form.Form_Load();

    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
}

} // namespace
} // namespace nimbrel::testing
