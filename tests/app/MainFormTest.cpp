#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

class MainFormTest : public ::testing::Test, public FormHarness {};

TEST_F(MainFormTest, TheLoadShowsTheWindowWithTotalsAmountsAndOnePass)
{
    form.Form_Load();
    EXPECT_TRUE(form.frmMain.shown());
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel 100 MB") << "whole megabytes until the first tick";
    EXPECT_EQ(form.amounts.lblPM.caption(), "Total Physical Memory: 524288 KB");
    EXPECT_EQ(form.amounts.lstRam.count(), 256);
    EXPECT_EQ(form.amounts.lstRam.text(), "2 MB") << "the default position 0";
    EXPECT_EQ(form.startup.cmbRetry.count(), 20);
    EXPECT_EQ(form.startup.cmbRetry.text(), "1");
    EXPECT_FALSE(form.isLoading);
    EXPECT_TRUE(form.cpu.tmrCPU.enabled());
    EXPECT_TRUE(form.gauges.tmrMemory.enabled());
    EXPECT_FALSE(form.engine.tmrRam.enabled());
    EXPECT_EQ(form.engine.mnuRelease.caption(), "Free Up 2 MB Now") << "set by the menu builder after loading";
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(MainFormTest, ASettingsFileThatCannotBeWrittenIsToldOnceWithItsPathAndReason)
{
    profile.failure = "No space left on device";
    form.Form_Load(); // the graph interval is written back while the window loads
    const std::string told = "Nimbrel could not save its settings in /opt/nimbrel/settings.ini: No space left on "
                             "device. What you choose now lasts only until Nimbrel ends.";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt, told);
    form.amounts.lstRam.userSelect(7);
    form.graphs.cmbUpdateGraph.userSelect(2);
    EXPECT_EQ(messages.shown.size(), 1u) << "once a run";
    EXPECT_EQ(form.engine.mnuRelease.caption(), "Free Up 16 MB Now") << "the window keeps the new choice";
}

TEST_F(MainFormTest, FreeUpRamNowMakesOnePassThenTheButtonIsFreeAgain)
{
    form.Form_Load();
    form.amounts.lstRam.userSelect(7);
    form.engine.cmdRam.userClick();
    form.engine.cmdRam.userClick();
    ASSERT_EQ(messages.shown.size(), 1u) << "the second press finds a release running";
    scheduler.advance(2000);
    ASSERT_EQ(block.blocks.size(), 1u);
    EXPECT_EQ(block.blocks[0], 116 * MB);
    EXPECT_FALSE(form.engine.running()) << "one retry: the second tick ends it";
}

TEST_F(MainFormTest, PauseStopsSamplingAndPoliciesButNotARunningRelease)
{
    form.Form_Load();
    EXPECT_TRUE(form.timedRelease.tmrTime.enabled()) << "both policies are on at a first start";
    EXPECT_TRUE(form.autoRelease.tmrAuto.enabled());
    form.engine.startRelease(50, 1000, ReleaseOrigin::Automatic);
    form.cmdPause.userClick();
    EXPECT_EQ(form.frmMain.caption(), "Nimbrel [Paused]");
    EXPECT_EQ(form.cmdPause.caption(), "&Resume Activity");
    for (TimerModel* t : {&form.cpu.tmrCPU, &form.gauges.tmrMemory, &form.timedRelease.tmrTime, &form.autoRelease.tmrAuto}) {
        EXPECT_FALSE(t->enabled());
    }
    EXPECT_TRUE(form.engine.tmrRam.enabled());
    scheduler.advance(1000);
    EXPECT_EQ(block.blocks.size(), 1u) << "the release goes on while paused";
}

TEST_F(MainFormTest, ResumeEnablesOnlyThePoliciesThatAreActive)
{
    profile.store("Time", "Active", "0");
    form.Form_Load();
    form.cmdPause.userClick();
    form.cmdPause.userClick();
    EXPECT_EQ(form.cmdPause.caption(), "&Pause All Activity");
    EXPECT_TRUE(form.cpu.tmrCPU.enabled());
    EXPECT_TRUE(form.gauges.tmrMemory.enabled());
    EXPECT_FALSE(form.timedRelease.tmrTime.enabled());
    EXPECT_TRUE(form.autoRelease.tmrAuto.enabled());
}

TEST_F(MainFormTest, ExitStopsEveryTimerAndEndsAtOnce)
{
    form.Form_Load();
    form.engine.startRelease(50, 1000, ReleaseOrigin::Automatic);
    form.cmdExit.userClick();
    EXPECT_EQ(exit.ended, 1);
    for (TimerModel* t : {&form.cpu.tmrCPU, &form.gauges.tmrMemory, &form.timedRelease.tmrTime, &form.autoRelease.tmrAuto,
                          &form.engine.tmrRam}) {
        EXPECT_FALSE(t->enabled());
    }
}

TEST_F(MainFormTest, TheFileMenusExitEndsWithoutStoppingTheTimersFirst)
{
    form.Form_Load();
    form.mnuExit.userClick();
    EXPECT_EQ(exit.ended, 1);
    EXPECT_TRUE(form.gauges.tmrMemory.enabled());
}

TEST_F(MainFormTest, ClosingTheWindowEndsUnlessQuitHidesInTray)
{
    form.Form_Load();
    form.startup.chkQuit.setValue(1);
    EXPECT_TRUE(form.Form_QueryUnload(MainForm::FormControlMenu));
    EXPECT_FALSE(form.frmMain.shown());
    EXPECT_TRUE(form.sysTray.trayTipActive());
    EXPECT_EQ(exit.ended, 0);

    EXPECT_FALSE(form.Form_QueryUnload(MainForm::AppWindows)) << "the session ending closes it all the same";
    EXPECT_EQ(exit.ended, 1);

    form.startup.chkQuit.setValue(0);
    EXPECT_FALSE(form.Form_QueryUnload(MainForm::FormControlMenu));
    EXPECT_EQ(exit.ended, 2);
}

TEST_F(MainFormTest, HideLeavesOnlyTheTray)
{
    form.Form_Load();
    form.cmdHide.userClick();
    EXPECT_FALSE(form.frmMain.shown());
    EXPECT_TRUE(form.sysTray.trayTipActive());
}

} // namespace
} // namespace nimbrel
