// The Time Intervals panel on a 512 MB machine after a first start.

#include "PanelTestSupport.h"

#include "ui/qt/TimePanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace nimbrel::testing {
namespace {

using TimePanelTest = PanelTest<view::TimePanel>;

std::vector<std::string> numbers(int from, int step, int count)
{
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(std::to_string(from + i * step));
    return texts;
}

TEST_F(TimePanelTest, ShowsItsControlsWithTheirCaptions)
{
    EXPECT_EQ(panel->chkTimeActive->text(), "Time Release Active");
    EXPECT_EQ(panel->optTimeMinute->text(), "Minutes");
    EXPECT_EQ(panel->optTimeHour->text(), "Hours");
    EXPECT_EQ(panel->lblRelaeaseRamTime->text(), "Release RAM at following Interval");
    EXPECT_EQ(panel->lblReleaseTime->text(), "Amount of RAM to Release");
    EXPECT_EQ(panel->chkTimeCPU->text(), "Don't perform time freeup unless CPU usage is below");
    EXPECT_EQ(panel->lblReleaseTimeCPU->text(), "percent");
    EXPECT_FALSE(panel->cmbTimeCPU->isEditable());
}

TEST_F(TimePanelTest, EveryControlLiesInsideThePanelAndClearOfTheOthers)
{
    const QList<QWidget*> widgets{panel->chkTimeActive,      panel->optTimeMinute,   panel->optTimeHour,
                                  panel->lblRelaeaseRamTime, panel->lstTimeInterval, panel->lblReleaseTime,
                                  panel->lstTimeAmount,      panel->chkTimeCPU,      panel->cmbTimeCPU,
                                  panel->lblReleaseTimeCPU};
    EXPECT_EQ(layoutFaults(frame, widgets), std::vector<std::string>{});
    for (QWidget* w : widgets)
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(TimePanelTest, AFirstStartShowsThirtyMinutes)
{
    EXPECT_EQ(panel->chkTimeActive->checkState(), Qt::Checked);
    EXPECT_TRUE(panel->optTimeMinute->isChecked());
    EXPECT_FALSE(panel->optTimeHour->isChecked());
    EXPECT_EQ(entries(*panel->lstTimeInterval), numbers(5, 5, 10));
    EXPECT_EQ(selectedText(*panel->lstTimeInterval), "30");
    ASSERT_EQ(panel->lstTimeAmount->model()->rowCount(), 256);
    EXPECT_EQ(selectedText(*panel->lstTimeAmount), "2 MB");
    EXPECT_EQ(entries(*panel->cmbTimeCPU), numbers(10, 10, 10));
    EXPECT_EQ(panel->cmbTimeCPU->currentText(), "60");
}

TEST_F(TimePanelTest, ClickingHoursOffersTwentyFourHoursAndLandsOnSix)
{
    clickCaption(*panel->optTimeHour);

    EXPECT_TRUE(panel->optTimeHour->isChecked());
    EXPECT_FALSE(panel->optTimeMinute->isChecked());
    EXPECT_EQ(entries(*panel->lstTimeInterval), numbers(1, 1, 24));
    EXPECT_EQ(selectedText(*panel->lstTimeInterval), "6");
    EXPECT_EQ(form.timedRelease.intervalMinutes(), 360);
    EXPECT_EQ(harness.profile.written("Time", "Interval"), std::optional<std::string>("Hour"));
    EXPECT_EQ(harness.profile.written("Time", "IntervalAmount"), std::optional<std::string>("5"));
}

TEST_F(TimePanelTest, BackToMinutesOffersTheMinutesAgain)
{
    clickCaption(*panel->optTimeHour);
    clickRow(*panel->lstTimeInterval, 20);

    clickCaption(*panel->optTimeMinute);

    EXPECT_TRUE(panel->optTimeMinute->isChecked());
    EXPECT_EQ(entries(*panel->lstTimeInterval), numbers(5, 5, 10));
    EXPECT_EQ(selectedText(*panel->lstTimeInterval), "30");
    EXPECT_EQ(harness.profile.written("Time", "Interval"), std::optional<std::string>("Minutes"));
}

TEST_F(TimePanelTest, UntickingTimeReleaseActiveStopsThePolicyAndStoresIt)
{
    ASSERT_TRUE(form.timedRelease.tmrTime.enabled());

    clickCaption(*panel->chkTimeActive);

    EXPECT_FALSE(form.timedRelease.tmrTime.enabled());
    EXPECT_EQ(harness.profile.written("Time", "Active"), std::optional<std::string>("0"));
}

TEST_F(TimePanelTest, TheAmountTheIntervalAndTheCpuThresholdAreStored)
{
    clickRow(*panel->lstTimeAmount, 3);
    clickRow(*panel->lstTimeInterval, 1);
    choose(*panel->cmbTimeCPU, 9);
    clickCaption(*panel->chkTimeCPU);

    EXPECT_EQ(form.timedRelease.lstTimeAmount.text(), "8 MB");
    EXPECT_EQ(harness.profile.written("Time", "Release"), std::optional<std::string>("3"));
    EXPECT_EQ(form.timedRelease.intervalMinutes(), 10);
    EXPECT_EQ(harness.profile.written("Time", "IntervalAmount"), std::optional<std::string>("1"));
    EXPECT_EQ(form.timedRelease.cmbTimeCPU.text(), "100");
    EXPECT_EQ(harness.profile.written("Time", "CPUPercent"), std::optional<std::string>("9"));
    EXPECT_EQ(harness.profile.written("Time", "CPUCheck"), std::optional<std::string>("0"));
}

TEST_F(TimePanelTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
