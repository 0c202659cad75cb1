#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

// A 512 MB machine with 100 MB available and no swap: every block is refused until a test lets them through.
class ReleaseNoticesTest : public ::testing::Test, public FormHarness {
protected:
    ReleaseNoticesTest()
    {
        memory.setMB(512, 100, 512, 100);
        profile.store("Auto", "Active", "0");
        profile.store("Time", "Active", "0");
        block.outcome = BlockOutcome::Refused;
    }
    std::vector<std::string> messagesShown() const { return tray.callsOf("message"); }
};

TEST_F(ReleaseNoticesTest, TheUsersReleaseAlwaysTellsItsOutcome)
{
    form.Form_Load();
    form.engine.cmdRam.userClick();
    scheduler.advance(1000);
    ASSERT_EQ(messagesShown().size(), 1u);
    EXPECT_EQ(messagesShown()[0].rfind("message Nothing was freed: there is no swap space", 0), 0u);

    block.outcome = BlockOutcome::Written;
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys += 3 * MB; };
    form.engine.mnuRelease.userClick();
    scheduler.advance(2000);
    EXPECT_EQ(messagesShown().back(), "message Freed 3 MB with a memory block \u00b7 103 MB available now");
}

TEST_F(ReleaseNoticesTest, APolicysReleaseIsQuietWhenItWorksAndTellsARefusalOnce)
{
    form.Form_Load();
    block.outcome = BlockOutcome::Written;
    form.engine.startRelease(16, 1000, ReleaseOrigin::Automatic);
    scheduler.advance(5000);
    EXPECT_TRUE(messagesShown().empty());
    block.outcome = BlockOutcome::Refused;
    for (const ReleaseOrigin origin : {ReleaseOrigin::Timed, ReleaseOrigin::Automatic, ReleaseOrigin::Startup}) {
        form.engine.startRelease(16, 1000, origin);
        scheduler.advance(2000);
    }
    EXPECT_EQ(messagesShown().size(), 1u);
}

TEST_F(ReleaseNoticesTest, ALaunchsReleaseTellsOnlyItsFirstRefusalAndOtherwiseWhatItFreed)
{
    files.files["/opt/nimbrel/Launcher.mbl"] = "Editor|/usr/bin/editor\r\n";
    programs.files = {"/usr/bin/editor"};
    form.Form_Load();
    for (int launch = 0; launch < 2; ++launch) {
        form.launcher.lstLauncher.userSelect(0);
        form.launcher.lstLauncher.userDoubleClick();
    }
    EXPECT_EQ(messagesShown().size(), 1u);
    EXPECT_TRUE(form.launcher.lastOutcome().refused);
    block.outcome = BlockOutcome::Written;
    block.onBlock = [&](std::uint64_t) { memory.snapshot.availPhys += 60 * MB; };
    form.launcher.lstLauncher.userDoubleClick();
    EXPECT_FALSE(form.launcher.lastOutcome().refused);
    EXPECT_EQ(form.launcher.lastOutcome().freedMB, 60);
    EXPECT_EQ(messagesShown().size(), 1u) << "the program starting is news enough";
    EXPECT_EQ(programs.started.size(), 3u);
}

// A desktop without a tray shows no notification: the main window tells the whole reason.
TEST_F(ReleaseNoticesTest, ALaunchsRefusedReleaseIsExplainedInFullOnTheReleasePanel)
{
    files.files["/opt/nimbrel/Launcher.mbl"] = "Editor|/usr/bin/editor\r\n";
    programs.files = {"/usr/bin/editor"};
    form.Form_Load();
    ASSERT_EQ(form.engine.lblOutcome.caption(), "");
    form.launcher.lstLauncher.userSelect(0);
    form.launcher.lstLauncher.userDoubleClick();
    // 10 % of 513 MB is 51 MB.
    EXPECT_EQ(form.engine.lblOutcome.caption(),
              "Nothing was freed: there is no swap space, so Linux already counts all it could free as available (the "
              "Page File gauge is memory and swap together). A 51 MB release needs more than 51 MB of free swap.");
    EXPECT_EQ(programs.started.size(), 1u);
}

TEST_F(ReleaseNoticesTest, TheOutcomeStandsUnderTheCaptionInTheTooltipWhileHidden)
{
    form.Form_Load();
    form.engine.cmdRam.userClick();
    scheduler.advance(1000);
    EXPECT_EQ(tray.tip, "Nimbrel 100 MB") << "shown: the tooltip is the caption alone";
    form.cmdHide.userClick();
    scheduler.advance(2000);
    EXPECT_EQ(tray.tip, "Nimbrel 100 MB\nRelease refused: no swap");
    form.sysTray.changeToolTip(form.frmMain, std::string(70, 'x'));
    EXPECT_EQ(tray.tip, std::string(63, 'x') + "\nRelease refused: no swap") << "the caption keeps its 63 characters";
}

TEST_F(ReleaseNoticesTest, TheGaugeIconFollowsAvailableMemoryOnlyWhenChosenAndOnlyWhenItChanges)
{
    form.Form_Load();
    scheduler.advance(3000);
    EXPECT_TRUE(tray.callsOf("gauge").empty()) << "off by default";
    form.startup.chkTrayGauge.userClick();
    EXPECT_EQ(profile.written("Startup", "TrayGauge"), "1");
    EXPECT_EQ(tray.callsOf("gauge"), std::vector<std::string>{"gauge 19"}) << "100 of 513 MB";
    scheduler.advance(6000);
    EXPECT_EQ(tray.callsOf("gauge").size(), 1u) << "the same value is not drawn again";
    memory.snapshot.availPhys = 300 * MB;
    scheduler.advance(2000);
    EXPECT_EQ(tray.callsOf("gauge").back(), "gauge 58");
    form.startup.chkTrayGauge.userClick();
    EXPECT_EQ(tray.callsOf("gauge").back(), "gauge off");
}

} // namespace
} // namespace nimbrel
