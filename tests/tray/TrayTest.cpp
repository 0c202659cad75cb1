#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

class TrayTest : public ::testing::Test, public FormHarness {
protected:
    void setAvailableMB(double mb) { memory.snapshot.availPhys = static_cast<std::uint64_t>(mb * MB); }
    std::vector<std::string> programEntries() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < form.trayMenu.mnuP1.count(); ++i) names.push_back(form.trayMenu.mnuP1.caption(i));
        return names;
    }
};

TEST_F(TrayTest, TheIconIsAddedOnceAtLoadAndGoesAtExit)
{
    form.Form_Load();
    EXPECT_EQ(tray.calls, std::vector<std::string>{"add Nimbrel 100 MB"});
    EXPECT_FALSE(form.sysTray.trayTipActive()) << "the window is shown";
    form.cmdExit.userClick();
    EXPECT_FALSE(tray.present);
    EXPECT_EQ(tray.calls.back(), "remove");
}

TEST_F(TrayTest, TheFileMenusExitRemovesTheIcon)
{
    form.Form_Load();
    form.mnuExit.userClick();
    EXPECT_FALSE(tray.present);
    EXPECT_EQ(exit.ended, 1);
}

TEST_F(TrayTest, TheTooltipFollowsTheCaptionOnlyWhileHidden)
{
    form.Form_Load();
    setAvailableMB(150.25);
    scheduler.advance(1000);
    EXPECT_EQ(tray.tip, "Nimbrel 100 MB") << "shown: the tooltip keeps its text";
    form.cmdHide.userClick();
    EXPECT_EQ(tray.tip, "Nimbrel 100 MB") << "caught up at the next caption refresh";
    scheduler.advance(1000);
    EXPECT_EQ(tray.tip, "Nimbrel 150.25 MB");
}

TEST_F(TrayTest, ALongCaptionShowsItsFirst63Characters)
{
    form.Form_Load();
    form.cmdHide.userClick();
    const std::string caption(70, 'x');
    form.sysTray.changeToolTip(form.frmMain, caption);
    EXPECT_EQ(tray.tip, std::string(63, 'x'));
    form.sysTray.changeToolTip(form.frmMain, std::string(63, 'y'));
    EXPECT_EQ(tray.tip, std::string(63, 'y'));
}

TEST_F(TrayTest, ThePausedCaptionStaysAfterResumingWhileShown)
{
    form.Form_Load();
    form.cmdPause.userClick();
    EXPECT_EQ(tray.tip, "Nimbrel [Paused]");
    EXPECT_FALSE(form.sysTray.trayTipActive());
    form.cmdPause.userClick();
    scheduler.advance(3000);
    EXPECT_EQ(tray.tip, "Nimbrel [Paused]");
}

TEST_F(TrayTest, ClicksOnTheIconOfAShownWindowBringItForwardWithoutAMenu)
{
    form.Form_Load();
    int raised = 0;
    form.frmMain.raiseRequested.connect([&] { ++raised; });
    form.frmMain.setMinimised(true);
    form.trayMenu.Form_MouseMove(TrayMenu::rightButtonUp);
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(form.frmMain.minimised());
    form.trayMenu.Form_MouseMove(TrayMenu::leftDoubleClick);
    EXPECT_EQ(raised, 2);
    for (int code : {0x200, 0x201, 0x202, 0x204, 0x206, 515 - 1}) form.trayMenu.Form_MouseMove(code);
    EXPECT_EQ(raised, 2) << "other codes are ignored";
    EXPECT_EQ(std::count(tray.calls.begin(), tray.calls.end(), "popup"), 0);
}

TEST_F(TrayTest, ARightClickOnTheIconOfAHiddenWindowOpensTheFileMenu)
{
    form.Form_Load();
    form.cmdHide.userClick();
    tray.whileMenuOpen = [&] { form.trayMenu.mnuShow.userClick(); };
    form.trayMenu.Form_MouseMove(TrayMenu::rightButtonUp);
    EXPECT_EQ(tray.calls.back(), "popup");
    EXPECT_TRUE(form.frmMain.shown()) << "\"Display Nimbrel\" chosen from the menu";
    EXPECT_FALSE(form.sysTray.trayTipActive());
}

TEST_F(TrayTest, ADoubleClickShowsAHiddenWindowAndStopsTooltipUpdates)
{
    profile.store("Startup", "Display", "2");
    form.Form_Load();
    EXPECT_FALSE(form.frmMain.shown());
    EXPECT_TRUE(form.sysTray.trayTipActive());
    form.trayMenu.Form_MouseMove(TrayMenu::leftDoubleClick);
    EXPECT_TRUE(form.frmMain.shown());
    setAvailableMB(222);
    scheduler.advance(1000);
    EXPECT_EQ(tray.tip, "Nimbrel 100 MB");
}

TEST_F(TrayTest, WithoutANotificationAreaHidingMinimisesUntilATrayAppears)
{
    tray.notificationArea = false;
    profile.store("Startup", "Display", "2"); // Hidden
    form.Form_Load();
    EXPECT_TRUE(form.frmMain.shown());
    EXPECT_TRUE(form.frmMain.minimised());

    form.trayMenu.mnuShow_Click();
    form.cmdHide.userClick();
    EXPECT_TRUE(form.frmMain.minimised()) << "\"&Hide\"";
    form.trayMenu.mnuShow_Click();
    form.Form_QueryUnload(MainForm::FormControlMenu);
    EXPECT_TRUE(form.frmMain.minimised()) << "the close box";
    EXPECT_TRUE(form.frmMain.shown());

    tray.notificationArea = true;
    form.trayMenu.mnuShow_Click();
    form.cmdHide.userClick();
    EXPECT_FALSE(form.frmMain.shown());
}

TEST_F(TrayTest, TheMenuListsTheProgramsByNameWithNoLeftovers)
{
    form.Form_Load();
    EXPECT_FALSE(form.trayMenu.mnuPrograms.enabled()) << "no programs yet";
    EXPECT_EQ(form.engine.mnuRelease.caption(), "Free Up 2 MB Now");
    for (const char* line : {"One|/bin/one", "Two|/bin/two", "Three|/bin/three", "Four|/bin/four"}) {
        form.launcher.lstLauncher.addItem(line);
    }
    form.trayMenu.loadMenu();
    EXPECT_EQ(programEntries().size(), 4u);
    form.launcher.lstLauncher.clear();
    form.launcher.lstLauncher.addItem("Editor" + std::string(52, ' ') + "|/usr/bin/editor");
    form.launcher.lstLauncher.addItem("  Terminal  |/usr/bin/xterm");
    form.launcher.lstLauncher.addItem("Files|/usr/bin/files");
    form.trayMenu.loadMenu();
    EXPECT_EQ(programEntries(), (std::vector<std::string>{"Editor", "Terminal", "Files"}));
    EXPECT_TRUE(form.trayMenu.mnuPrograms.enabled());
}

TEST_F(TrayTest, LinesWithoutAProgramAreLeftOutAndEachEntryStartsItsOwnLine)
{
    programs.files = {"/bin/first", "/bin/second"};
    form.Form_Load();
    for (const char* line : {"", "First|/bin/first", "no bar here", "   ", "     |/bin/nameless", "Second|/bin/second"}) {
        form.launcher.lstLauncher.addItem(line);
    }
    form.trayMenu.loadMenu();
    EXPECT_EQ(programEntries(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_TRUE(reporter.errors.empty());
    form.trayMenu.mnuP1.userClick(1);
    EXPECT_EQ(programs.started, std::vector<std::string>{"/bin/second"});
    EXPECT_EQ(form.launcher.lstLauncher.listIndex(), 5);
}

TEST_F(TrayTest, ListsWithoutAnyProgramLeaveProgramsDisabled)
{
    form.Form_Load();
    form.launcher.lstLauncher.addItem("");
    form.launcher.lstLauncher.addItem("no bar here");
    form.trayMenu.loadMenu();
    EXPECT_FALSE(form.trayMenu.mnuPrograms.enabled());
}

TEST_F(TrayTest, ALongHandMadeListShowsThirtyProgramsAndMoreOpensTheLauncherPanel)
{
    form.Form_Load();
    for (int i = 0; i < 500; ++i) {
        form.launcher.lstLauncher.addItem("p" + std::to_string(i) + "|/bin/p" + std::to_string(i));
    }
    form.trayMenu.loadMenu();
    ASSERT_EQ(form.trayMenu.mnuP1.count(), 31);
    EXPECT_EQ(form.trayMenu.mnuP1.caption(29), "p29");
    EXPECT_EQ(form.trayMenu.mnuP1.caption(30), "More\u2026");

    form.cmdHide.userClick();
    form.trayMenu.mnuP1.userClick(30);
    EXPECT_TRUE(form.frmMain.shown());
    EXPECT_TRUE(form.panels.frames[Panels::Launcher].visible());
    EXPECT_TRUE(programs.started.empty());
}

TEST_F(TrayTest, ThirtyProgramsNeedNoMoreEntry)
{
    form.Form_Load();
    for (int i = 0; i < 30; ++i) form.launcher.lstLauncher.addItem("p" + std::to_string(i) + "|/bin/p");
    form.trayMenu.loadMenu();
    EXPECT_EQ(form.trayMenu.mnuP1.count(), 30);
    EXPECT_EQ(form.trayMenu.mnuP1.caption(29), "p29");
}

} // namespace
} // namespace nimbrel
