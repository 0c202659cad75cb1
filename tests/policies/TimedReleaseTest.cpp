#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

constexpr std::int64_t tenOClock = 1'700'006'400; // a whole hour, local time

// Ten o'clock; the timed release frees 16 MB; the automatic release is off.
class TimedReleaseTest : public ::testing::Test, public FormHarness {
protected:
    TimedReleaseTest() : FormHarness(LocalTime{tenOClock})
    {
        memory.setMB(512, 300, 1536, 900);
        profile.store("Auto", "Active", "0");
        profile.store("Time", "Release", "7");
        profile.store("Time", "CPUCheck", "0");
    }
    TimedRelease& policy() { return form.timedRelease; }
};

TEST_F(TimedReleaseTest, MinuteModeCountsClockMinuteBoundaries)
{
    for (const std::int64_t start : {tenOClock + 59, tenOClock}) {
        FormHarness h(LocalTime{start});
        h.profile.store("Auto", "Active", "0");
        h.profile.store("Time", "IntervalAmount", "0"); // 5 minutes
        h.form.Form_Load();
        const std::int64_t dueAt = tenOClock + 5 * 60;
        h.scheduler.advance(static_cast<std::uint64_t>(dueAt - start - 1) * 1000);
        EXPECT_FALSE(h.form.engine.running()) << start;
        h.scheduler.advance(1000);
        EXPECT_TRUE(h.form.engine.running()) << start;
    }
}

TEST_F(TimedReleaseTest, AClockSetBackAnHourKeepsTheFiveMinuteRhythm)
{
    profile.store("Time", "IntervalAmount", "0"); // 5 minutes
    form.Form_Load();
    scheduler.advance(2 * 60 * 1000);
    scheduler.setWallClockBy(-3600); // 10:02 is 9:02 again
    scheduler.advance(3 * 60 * 1000 - 1000);
    EXPECT_FALSE(form.engine.running());
    scheduler.advance(1000); // 9:05
    EXPECT_TRUE(form.engine.running());
}

TEST_F(TimedReleaseTest, AClockSetForwardReleasesOnceAtMostAndThenKeepsItsRhythm)
{
    profile.store("Time", "IntervalAmount", "0"); // 5 minutes
    form.Form_Load();
    scheduler.advance(2 * 60 * 1000);
    scheduler.setWallClockBy(3 * 3600);
    scheduler.advance(3 * 60 * 1000 - 1000);
    EXPECT_LE(block.blocks.size(), 1u);
    scheduler.advance(60 * 60 * 1000);
    EXPECT_EQ(block.blocks.size(), 12u) << "every five minutes of the hour after";
}

TEST_F(TimedReleaseTest, HourItemSixIsThreeHundredSixtyMinutes)
{
    profile.store("Time", "Interval", "Hours");
    profile.store("Time", "IntervalAmount", "5");
    form.Form_Load();
    EXPECT_EQ(policy().optTimeUnit.selected(), TimedRelease::Hours);
    EXPECT_EQ(policy().lstTimeInterval.count(), 24);
    EXPECT_EQ(policy().intervalMinutes(), 360);
}

TEST_F(TimedReleaseTest, SwitchingToHoursByHandRefillsSelectsSixAndStores)
{
    form.Form_Load();
    EXPECT_EQ(policy().lstTimeInterval.text(), "30") << "the defaults: minutes, item 6";
    policy().optTimeUnit.userClick(TimedRelease::Hours);
    EXPECT_EQ(policy().lstTimeInterval.count(), 24);
    EXPECT_EQ(policy().lstTimeInterval.text(), "6");
    EXPECT_EQ(profile.written("Time", "Interval"), "Hour");
    EXPECT_EQ(profile.written("Time", "IntervalAmount"), "5");
}

TEST_F(TimedReleaseTest, ReleasesAtEachDueTimeWhateverTheMemory)
{
    profile.store("Time", "IntervalAmount", "0");
    form.Form_Load();
    scheduler.advance(5 * 60 * 1000);
    EXPECT_TRUE(form.engine.running());
    EXPECT_EQ(form.engine.releaseTarget(), 316);
    scheduler.advance(2000); // the release ends after its one pass
    EXPECT_FALSE(form.engine.running());
    scheduler.advance(5 * 60 * 1000);
    EXPECT_EQ(block.blocks.size(), 2u);
}

TEST_F(TimedReleaseTest, TheCpuConditionHoldsAtTheThresholdAndRestartsTheInterval)
{
    profile.store("Time", "IntervalAmount", "0");
    profile.store("Time", "CPUCheck", "1");
    profile.store("Time", "CPUPercent", "2"); // 30 percent
    form.Form_Load();
    counters.steadyLoadPercent = 30;
    scheduler.advance(5 * 60 * 1000);
    EXPECT_FALSE(form.engine.running());
    counters.steadyLoadPercent = 29;
    scheduler.advance(60 * 1000);
    EXPECT_FALSE(form.engine.running()) << "the interval restarted at the hold";
    scheduler.advance(4 * 60 * 1000);
    EXPECT_TRUE(form.engine.running());
}

TEST_F(TimedReleaseTest, WarningsAreCountedAcrossBothPolicies)
{
    profile.store("Auto", "Active", "1");
    profile.store("Auto", "Minimum", "0");
    profile.store("Time", "IntervalAmount", "0");
    memory.setMB(512, 50, 1536, 900);
    form.Form_Load();
    scheduler.advance(31'000); // two automatic warnings
    EXPECT_EQ(form.warning.warningCount(), 2);
    form.autoRelease.chkAutoActive.userClick();
    scheduler.advance(5 * 60 * 1000); // one timed warning
    EXPECT_EQ(messages.shown.size(), 3u);
    scheduler.advance(5 * 60 * 1000);
    EXPECT_EQ(messages.shown.back().prompt, "Disable the warning?");
}

TEST_F(TimedReleaseTest, StoredValuesOutsideTheListsAreReportedAndTheReleasePositionWrittenBack)
{
    profile.store("Time", "IntervalAmount", "abc");
    profile.store("Time", "CPUPercent", "10");
    form.Form_Load();
    EXPECT_EQ(policy().lstTimeInterval.listIndex(), -1);
    EXPECT_EQ(policy().cmbTimeCPU.listIndex(), -1);
    ASSERT_EQ(reporter.errors.size(), 2u);
    EXPECT_EQ(reporter.errors[0].number, 13);
    EXPECT_EQ(reporter.errors[1].number, 380);
    EXPECT_EQ(profile.written("Time", "Release"), "7") << "written back while loading";
}

TEST_F(TimedReleaseTest, WithoutAnIntervalEveryTickIsDue)
{
    profile.store("Time", "IntervalAmount", "-1");
    form.Form_Load();
    scheduler.advance(1000);
    EXPECT_TRUE(form.engine.running());
    EXPECT_EQ(reporter.errors.back().tag, "frmMain,tmrTime_Timer");
}

} // namespace
} // namespace nimbrel
