// A start hidden in the tray makes the main window only when it is wanted.

#include "UiTestSupport.h"

#include "ui/qt/QtMessageBoxes.h"
#include "ui/qt/QtTrayIcon.h"
#include "ui/qt/WindowOnDemand.h"

namespace nimbrel::testing {
namespace {

TEST(WindowOnDemand, AHiddenStartMakesTheWindowWhenItIsShown)
{
    FormHarness harness;
    harness.profile.store("Startup", "Display", "2");
    view::QtMessageBoxes messages;
    view::QtTrayIcon tray;
    view::WindowOnDemand windows(harness.form, messages, tray);

    harness.form.Form_Load();
    EXPECT_FALSE(windows.made());

    harness.form.trayMenu.mnuShow_Click(); // "Display Nimbrel"
    ASSERT_TRUE(windows.made());
    EXPECT_TRUE(windows.window().isVisible());
    EXPECT_EQ(windows.window().windowTitle().toStdString(), harness.form.frmMain.caption());
}

} // namespace
} // namespace nimbrel::testing
