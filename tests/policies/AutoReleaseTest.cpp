#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

// A 512 MB machine with plenty available; the automatic release checks every
// 30 s for a minimum of 64 MB and frees 32 MB, without the CPU condition.
class AutoReleaseTest : public ::testing::Test, public FormHarness {
protected:
    AutoReleaseTest()
    {
        memory.setMB(512, 300, 1536, 900);
        profile.store("Auto", "Minimum", "31"); // 64 MB
        profile.store("Auto", "Release", "15"); // 32 MB
        profile.store("Auto", "CPUCheck", "0");
        profile.store("Time", "Active", "0");
    }
    void setAvailableMB(double mb) { memory.snapshot.availPhys = static_cast<std::uint64_t>(mb * MB); }
    AutoRelease& policy() { return form.autoRelease; }
};

TEST_F(AutoReleaseTest, TheFirstCheckComesOneIntervalAfterStartAndEqualToTheMinimumReleases)
{
    form.Form_Load();
    EXPECT_EQ(policy().lstAutoInterval.text(), "30");
    setAvailableMB(64);
    scheduler.advance(29'000);
    EXPECT_FALSE(form.engine.running());
    scheduler.advance(1000);
    EXPECT_TRUE(form.engine.running());
    EXPECT_EQ(form.engine.releaseTarget(), 96);
    EXPECT_EQ(form.engine.tmrRam.interval(), 1000u) << "the wait of \"Time to Wait(Seconds)\"";
}

TEST_F(AutoReleaseTest, AClockSetBackAnHourDoesNotHoldTheNextCheck)
{
    form.Form_Load();
    scheduler.advance(10'000);
    scheduler.setWallClockBy(-3600); // the end of summer time
    setAvailableMB(60);
    scheduler.advance(20'000);
    EXPECT_TRUE(form.engine.running());
}

TEST_F(AutoReleaseTest, AboveTheMinimumTheCheckThenRunsEveryTick)
{
    form.Form_Load();
    scheduler.advance(30'000);
    EXPECT_FALSE(form.engine.running());
    setAvailableMB(60);
    scheduler.advance(1000);
    EXPECT_TRUE(form.engine.running()) << "one second later, not a whole interval";
}

TEST_F(AutoReleaseTest, ACheckDueWhileAReleaseRunsRestartsTheInterval)
{
    form.Form_Load();
    setAvailableMB(50);
    form.engine.startRelease(10, 40'000, ReleaseOrigin::Automatic); // one pass at 40 s, over at 80 s
    scheduler.advance(85'000);
    EXPECT_FALSE(form.engine.running()) << "the checks at 30 and 60 s found it running";
    scheduler.advance(5000);
    EXPECT_TRUE(form.engine.running());
    EXPECT_EQ(form.engine.releaseTarget(), 82);
}

TEST_F(AutoReleaseTest, TheCpuConditionHoldsAtTheThresholdAndLetsOneBelowThrough)
{
    profile.store("Auto", "CPUCheck", "1");
    profile.store("Auto", "CPUPercent", "5"); // 60 percent
    form.Form_Load();
    setAvailableMB(50);
    counters.steadyLoadPercent = 60;
    scheduler.advance(30'000);
    EXPECT_FALSE(form.engine.running());
    counters.steadyLoadPercent = 59;
    scheduler.advance(29'000);
    EXPECT_FALSE(form.engine.running()) << "the hold restarted the interval";
    scheduler.advance(1000);
    EXPECT_TRUE(form.engine.running());
}

TEST_F(AutoReleaseTest, WithoutAThresholdSelectedEveryCheckIsHeldBack)
{
    profile.store("Auto", "CPUCheck", "1");
    profile.store("Auto", "CPUPercent", "-1");
    form.Form_Load();
    counters.steadyLoadPercent = 0;
    setAvailableMB(10);
    scheduler.advance(300'000);
    EXPECT_FALSE(form.engine.running());
}

TEST_F(AutoReleaseTest, UnderTwentyPercentWarnsThreeTimesThenAsks)
{
    profile.store("Auto", "Minimum", "0"); // 2 MB: no release, so the check repeats every tick
    form.Form_Load();
    setAvailableMB(0.15 * 513);
    scheduler.advance(30'000);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].prompt, "Warning the system has only 15 % of Total Physical Memory");
    EXPECT_EQ(messages.shown[0].style, mb::critical);
    scheduler.advance(2000);
    messages.answers = {mb::no, mb::yes};
    scheduler.advance(1000);
    ASSERT_EQ(messages.shown.size(), 4u);
    EXPECT_EQ(messages.shown[3].prompt, "Disable the warning?");
    EXPECT_EQ(messages.shown[3].style, mb::question | mb::yesNo);
    scheduler.advance(1000);
    EXPECT_EQ(messages.shown.size(), 5u) << "No keeps asking";
    EXPECT_TRUE(form.startup.chkLowLevel.checked());
    EXPECT_EQ(profile.written("Startup", "LowLevel"), "1");
    scheduler.advance(10'000);
    EXPECT_EQ(messages.shown.size(), 5u) << "no warnings after Yes";
}

TEST_F(AutoReleaseTest, TwentyPercentDoesNotWarnAndAWarningDoesNotPreventTheRelease)
{
    form.Form_Load();
    setAvailableMB(0.20 * 513);
    scheduler.advance(30'000);
    EXPECT_TRUE(messages.shown.empty());
    setAvailableMB(40);
    scheduler.advance(1000);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(form.engine.running());
}

TEST_F(AutoReleaseTest, ATickWhileAWarningBoxIsOpenStacksNoSecondBox)
{
    profile.store("Auto", "Minimum", "0");
    form.Form_Load();
    setAvailableMB(40);
    int nested = 0;
    // The toolkit runs timers while a modal box is open.
    messages.whileShown = [&] {
        if (nested++ == 0) form.autoRelease.tmrAuto_Timer();
    };
    scheduler.advance(30'000);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(form.warning.warningCount(), 1);
}

TEST_F(AutoReleaseTest, AWaitOf250SecondsDelaysTheFirstPass)
{
    profile.store("Startup", "Wait", "249");
    form.Form_Load();
    setAvailableMB(50);
    scheduler.advance(30'000);
    ASSERT_TRUE(form.engine.running());
    EXPECT_EQ(form.engine.tmrRam.interval(), 250'000u);
}

TEST_F(AutoReleaseTest, ACheckDueDuringAPauseRunsOnTheFirstTickAfterResuming)
{
    form.Form_Load();
    form.cmdPause.userClick();
    setAvailableMB(50);
    scheduler.advance(120'000);
    EXPECT_FALSE(form.engine.running());
    form.cmdPause.userClick();
    scheduler.advance(1000);
    EXPECT_TRUE(form.engine.running());
}

TEST_F(AutoReleaseTest, StoredValuesOutsideTheListsAreReportedAndSkipped)
{
    profile.store("Auto", "Interval", "60");
    profile.store("Auto", "CPUPercent", "abc");
    profile.store("Auto", "Release", "-2");
    form.Form_Load();
    EXPECT_EQ(policy().lstAutoInterval.listIndex(), -1);
    EXPECT_EQ(policy().cmbAutoCPU.listIndex(), -1) << "not numeric: left alone";
    ASSERT_EQ(reporter.errors.size(), 2u);
    EXPECT_EQ(reporter.errors[0].tag, "frmMain,loadAuto");
    EXPECT_EQ(reporter.errors[1].tag, "frmMain,loadAuto");
}

TEST_F(AutoReleaseTest, ChoicesAreStoredAndTheBoxTurnsThePolicyOnAndOff)
{
    form.Form_Load();
    policy().lstAutoInterval.userSelect(0);
    EXPECT_EQ(profile.written("Auto", "Interval"), "0");
    policy().chkAutoActive.userClick();
    EXPECT_EQ(profile.written("Auto", "Active"), "0");
    EXPECT_FALSE(policy().tmrAuto.enabled());
    scheduler.advance(7000);
    policy().chkAutoActive.userClick();
    setAvailableMB(50);
    scheduler.advance(29'000);
    EXPECT_FALSE(form.engine.running()) << "the first check one interval after the click";
    scheduler.advance(1000);
    EXPECT_TRUE(form.engine.running());
}

} // namespace
} // namespace nimbrel
