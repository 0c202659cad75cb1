// The Time Intervals panel on a 512 MB machine after a first start.

#include "PanelTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace nimbrel::testing {
namespace {

class TimePanelTest : public PanelTest {
protected:
    TimePanelTest() : PanelTest("fmTime") {}
};

std::vector<std::string> numbers(int from, int step, int count)
{
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(std::to_string(from + i * step));
    return texts;
}

TEST_F(TimePanelTest, ShowsItsControlsWithTheirCaptions)
{
    EXPECT_EQ(child<QCheckBox>("chkTimeActive").text(), "Time Release Active");
    EXPECT_EQ(child<QRadioButton>("optTimeMinute").text(), "Minutes");
    EXPECT_EQ(child<QRadioButton>("optTimeHour").text(), "Hours");
    EXPECT_EQ(child<QLabel>("lblRelaeaseRamTime").text(), "Release RAM at following Interval");
    EXPECT_EQ(child<QLabel>("lblReleaseTime").text(), "Amount of RAM to Release");
    EXPECT_EQ(child<QCheckBox>("chkTimeCPU").text(), "Don't perform time freeup unless CPU usage is below");
    EXPECT_EQ(child<QLabel>("lblReleaseTimeCPU").text(), "percent");
    EXPECT_FALSE(child<QComboBox>("cmbTimeCPU").isEditable());
}

TEST_F(TimePanelTest, EveryControlLiesInsideThePanelAndClearOfTheOthers)
{
    const QList<QWidget*> widgets{&child<QCheckBox>("chkTimeActive"),   &child<QRadioButton>("optTimeMinute"),
                                  &child<QRadioButton>("optTimeHour"),  &child<QLabel>("lblRelaeaseRamTime"),
                                  &child<QListView>("lstTimeInterval"), &child<QLabel>("lblReleaseTime"),
                                  &child<QListView>("lstTimeAmount"),   &child<QCheckBox>("chkTimeCPU"),
                                  &child<QComboBox>("cmbTimeCPU"),      &child<QLabel>("lblReleaseTimeCPU")};
    EXPECT_EQ(layoutFaults(frame, widgets), std::vector<std::string>{});
    for (QWidget* w : widgets)
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(TimePanelTest, AFirstStartShowsThirtyMinutes)
{
    EXPECT_EQ(child<QCheckBox>("chkTimeActive").checkState(), Qt::Checked);
    EXPECT_TRUE(child<QRadioButton>("optTimeMinute").isChecked());
    EXPECT_FALSE(child<QRadioButton>("optTimeHour").isChecked());
    EXPECT_EQ(entries(child<QListView>("lstTimeInterval")), numbers(5, 5, 10));
    EXPECT_EQ(selectedText(child<QListView>("lstTimeInterval")), "30");
    ASSERT_EQ(child<QListView>("lstTimeAmount").model()->rowCount(), 256);
    EXPECT_EQ(selectedText(child<QListView>("lstTimeAmount")), "2 MB");
    EXPECT_EQ(entries(child<QComboBox>("cmbTimeCPU")), numbers(10, 10, 10));
    EXPECT_EQ(child<QComboBox>("cmbTimeCPU").currentText(), "60");
}

TEST_F(TimePanelTest, ClickingHoursOffersTwentyFourHoursAndLandsOnSix)
{
    clickCaption(child<QRadioButton>("optTimeHour"));

    EXPECT_TRUE(child<QRadioButton>("optTimeHour").isChecked());
    EXPECT_FALSE(child<QRadioButton>("optTimeMinute").isChecked());
    EXPECT_EQ(entries(child<QListView>("lstTimeInterval")), numbers(1, 1, 24));
    EXPECT_EQ(selectedText(child<QListView>("lstTimeInterval")), "6");
    EXPECT_EQ(form.timedRelease.intervalMinutes(), 360);
    EXPECT_EQ(harness.profile.written("Time", "Interval"), std::optional<std::string>("Hour"));
    EXPECT_EQ(harness.profile.written("Time", "IntervalAmount"), std::optional<std::string>("5"));
}

TEST_F(TimePanelTest, BackToMinutesOffersTheMinutesAgain)
{
    clickCaption(child<QRadioButton>("optTimeHour"));
    clickRow(child<QListView>("lstTimeInterval"), 20);

    clickCaption(child<QRadioButton>("optTimeMinute"));

    EXPECT_TRUE(child<QRadioButton>("optTimeMinute").isChecked());
    EXPECT_EQ(entries(child<QListView>("lstTimeInterval")), numbers(5, 5, 10));
    EXPECT_EQ(selectedText(child<QListView>("lstTimeInterval")), "30");
    EXPECT_EQ(harness.profile.written("Time", "Interval"), std::optional<std::string>("Minutes"));
}

TEST_F(TimePanelTest, UntickingTimeReleaseActiveStopsThePolicyAndStoresIt)
{
    ASSERT_TRUE(form.timedRelease.tmrTime.enabled());

    clickCaption(child<QCheckBox>("chkTimeActive"));

    EXPECT_FALSE(form.timedRelease.tmrTime.enabled());
    EXPECT_EQ(harness.profile.written("Time", "Active"), std::optional<std::string>("0"));
}

TEST_F(TimePanelTest, TheAmountTheIntervalAndTheCpuThresholdAreStored)
{
    clickRow(child<QListView>("lstTimeAmount"), 3);
    clickRow(child<QListView>("lstTimeInterval"), 1);
    choose(child<QComboBox>("cmbTimeCPU"), 9);
    clickCaption(child<QCheckBox>("chkTimeCPU"));

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
