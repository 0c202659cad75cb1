#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

const char* const runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class StartupOptionsTest : public ::testing::Test, public FormHarness {
protected:
    std::optional<std::string> runValue() { return registry.queryValue(runKey, "Nimbrel"); }
};

TEST_F(StartupOptionsTest, AFirstStartWithoutSettingsShowsTheDefaults)
{
    form.Form_Load();
    StartupOptions& s = form.startup;
    EXPECT_EQ(s.optDisplay.selected(), 0);
    EXPECT_TRUE(form.frmMain.shown());
    EXPECT_FALSE(form.frmMain.minimised());
    EXPECT_TRUE(s.chkStartup.checked());
    EXPECT_TRUE(s.chkQuit.checked());
    EXPECT_FALSE(s.chkLowLevel.checked());
    EXPECT_EQ(s.cmbStartupRam.text(), "0 MB");
    EXPECT_EQ(s.cmbStartupWait.text(), "1");
    EXPECT_EQ(s.cmbRetry.text(), "1");
    EXPECT_FALSE(form.engine.running()) << "no release at start-up";
    EXPECT_EQ(runValue(), "/opt/nimbrel/Nimbrel");
    EXPECT_EQ(profile.written("Startup", "AutoLaunch"), "1");
    EXPECT_EQ(registry.queryValue("Software\\Microsoft\\Nimbrel", "ver"), "5");
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(StartupOptionsTest, AnExistingVersionValueIsLeftAsItIs)
{
    registry.createKey("Software\\Microsoft\\Nimbrel");
    registry.setValue("Software\\Microsoft\\Nimbrel", "ver", "4.9 beta");
    form.Form_Load();
    EXPECT_EQ(registry.queryValue("Software\\Microsoft\\Nimbrel", "ver"), "4.9 beta");
}

TEST_F(StartupOptionsTest, AStartUpReleaseOf64MBWaits40SecondsForItsFirstPass)
{
    profile.store("Startup", "Release", "32"); // position 32 of "0 MB", "2 MB", ... is 64 MB
    profile.store("Startup", "Wait", "39");    // "40"
    form.Form_Load();
    EXPECT_TRUE(form.engine.running());
    EXPECT_EQ(form.engine.releaseTarget(), 164);
    scheduler.advance(39'999);
    EXPECT_TRUE(block.blocks.empty());
    scheduler.advance(1);
    ASSERT_EQ(block.blocks.size(), 1u);
    EXPECT_EQ(block.blocks[0], 164 * MB);
}

TEST_F(StartupOptionsTest, DisplayModes)
{
    struct Case {
        const char* stored;
        int option;
        bool shown;
        bool minimised;
        bool errorReported;
    };
    for (const Case c : {Case{"7", 2, false, false, false}, Case{"1", 1, true, true, false},
                         Case{"2", 2, false, false, false}, Case{" 0 ", 0, true, false, false},
                         Case{"abc", 0, true, false, true}}) {
        FormHarness h;
        h.profile.store("Startup", "Display", c.stored);
        h.form.Form_Load();
        EXPECT_EQ(h.form.startup.optDisplay.selected(), c.option) << c.stored;
        EXPECT_EQ(h.form.frmMain.shown(), c.shown) << c.stored;
        EXPECT_EQ(h.form.frmMain.minimised(), c.minimised) << c.stored;
        EXPECT_EQ(h.form.sysTray.trayTipActive(), !c.shown) << c.stored;
        EXPECT_EQ(!h.reporter.errors.empty(), c.errorReported) << c.stored;
        if (c.errorReported) {
            EXPECT_EQ(h.reporter.errors[0].tag, "frmMain,loadStartup");
        }
    }
}

TEST_F(StartupOptionsTest, StoredAutoLaunchZeroNeitherWritesNorDeletesTheEntry)
{
    profile.store("Startup", "AutoLaunch", "0");
    registry.setValue(runKey, "Nimbrel", "/somewhere/else/Nimbrel");
    form.Form_Load();
    EXPECT_FALSE(form.startup.chkStartup.checked());
    EXPECT_EQ(runValue(), "/somewhere/else/Nimbrel");
    EXPECT_FALSE(profile.written("Startup", "AutoLaunch").has_value());
}

TEST_F(StartupOptionsTest, UncheckingAutomaticLaunchDeletesTheEntryAndCheckingWritesIt)
{
    form.Form_Load();
    form.startup.chkStartup.userClick();
    EXPECT_FALSE(runValue().has_value());
    EXPECT_EQ(profile.written("Startup", "AutoLaunch"), "0");
    directory.dir = "/home/me/new place";
    form.startup.chkStartup.userClick();
    EXPECT_EQ(runValue(), "/home/me/new place/Nimbrel");
    EXPECT_EQ(profile.written("Startup", "AutoLaunch"), "1");
}

TEST_F(StartupOptionsTest, ChoicesAreStoredAsPositions)
{
    form.Form_Load();
    StartupOptions& s = form.startup;
    s.cmbStartupRam.userSelect(8);
    EXPECT_EQ(profile.written("Startup", "Release"), "8");
    s.optDisplay.userClick(2);
    EXPECT_EQ(profile.written("Startup", "Display"), "2");
    s.chkLowLevel.userClick();
    EXPECT_EQ(profile.written("Startup", "LowLevel"), "1");
    s.chkQuit.userClick();
    EXPECT_EQ(profile.written("Startup", "Quit"), "0");
}

TEST_F(StartupOptionsTest, StoredValuesThatAreNoNumbersSelectTheFirstEntry)
{
    profile.store("Startup", "Wait", "soon");
    profile.store("Startup", "Retry", "");
    profile.store("Startup", "Quit", "yes");
    form.Form_Load();
    EXPECT_EQ(form.startup.cmbStartupWait.text(), "1");
    EXPECT_EQ(form.startup.cmbRetry.text(), "1");
    EXPECT_FALSE(form.startup.chkQuit.checked()) << "a check box keeps its state";
    EXPECT_TRUE(reporter.errors.empty());
}

TEST_F(StartupOptionsTest, StoredValuesOutsideTheirListsAreReportedAndLeaveNoSelection)
{
    profile.store("Startup", "Retry", "20");
    profile.store("Startup", "Quit", "3");
    form.Form_Load();
    EXPECT_EQ(form.startup.cmbRetry.listIndex(), -1);
    ASSERT_EQ(reporter.errors.size(), 2u);
    for (const ReportedError& e : reporter.errors) {
        EXPECT_EQ(e.tag, "frmMain,loadStartup");
        EXPECT_EQ(e.number, 380);
    }
}

TEST_F(StartupOptionsTest, NoStartUpAmountSelectedIsReportedAndReleasesNothing)
{
    profile.store("Startup", "Release", "-1");
    form.Form_Load();
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(reporter.errors[0].tag, "frmMain,checkStartupRelease");
    EXPECT_TRUE(form.engine.running());
    scheduler.advance(1000);
    EXPECT_FALSE(form.engine.running());
    EXPECT_TRUE(block.blocks.empty());
}

TEST_F(StartupOptionsTest, RegistryValuesReadBackAsTheClassicCallsGaveThem)
{
    registry.createKey("Software\\Microsoft\\Internet Explorer");
    EXPECT_EQ(form.modReg.regGetValue("Software\\Microsoft\\Internet Explorer", "Version"), std::string(255, ' '));
    EXPECT_EQ(form.modReg.regGetValue("Software\\Nobody", "Version"), "");
    registry.setValue("Software\\Microsoft\\Internet Explorer", "Version", "6.0.2800.1106");
    EXPECT_EQ(form.modReg.regGetValue("software\\microsoft\\internet explorer", "version"), "6.0.2800.1106");
    registry.setValue("Software\\Microsoft\\Internet Explorer", "Version", std::string(300, 'x'));
    EXPECT_EQ(form.modReg.regGetValue("Software\\Microsoft\\Internet Explorer", "Version"), std::string(255, ' '));
    form.modReg.regSetValue("Software\\Missing", "X", "1");
    EXPECT_FALSE(registry.keyExists("Software\\Missing")) << "setting a value creates no key";
    EXPECT_TRUE(reporter.errors.empty());
}

} // namespace
} // namespace nimbrel
