// The Automatic panel on a 512 MB machine after a first start.

#include "PanelTestSupport.h"

#include <QCheckBox>
#include <QLabel>

namespace nimbrel::testing {
namespace {

class AutomaticPanelTest : public PanelTest {
protected:
    AutomaticPanelTest() : PanelTest("fmAutomatic") {}
};

std::vector<std::string> numbers(int from, int step, int count)
{
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(std::to_string(from + i * step));
    return texts;
}

TEST_F(AutomaticPanelTest, ShowsItsControlsWithTheirCaptions)
{
    EXPECT_EQ(child<QCheckBox>("chkAutoActive").text(), "Auto Release Active");
    EXPECT_EQ(child<QLabel>("lblAutoRelease").text(), "Automatically release RAM when it reaches a minimum of");
    EXPECT_EQ(child<QLabel>("lblAutoRAM").text(), "Check for minimum level of RAM at the following interval (Seconds)");
    EXPECT_EQ(child<QLabel>("lblAutoAmount").text(), "Amount of RAM to Release");
    EXPECT_EQ(child<QCheckBox>("chkAutoCPU").text(), "Don't perform auto freeup unless CPU usage is below");
    EXPECT_EQ(child<QLabel>("lblAutoCPU").text(), "percent");
    EXPECT_FALSE(child<QComboBox>("cmbAutoRelease").isEditable());
    EXPECT_FALSE(child<QComboBox>("cmbAutoCPU").isEditable());
}

TEST_F(AutomaticPanelTest, EveryControlLiesInsideThePanelAndClearOfTheOthers)
{
    const QList<QWidget*> widgets{&child<QCheckBox>("chkAutoActive"),   &child<QLabel>("lblAutoRelease"),
                                  &child<QComboBox>("cmbAutoRelease"),  &child<QLabel>("lblAutoRAM"),
                                  &child<QListView>("lstAutoInterval"), &child<QLabel>("lblAutoAmount"),
                                  &child<QListView>("lstAutoAmount"),   &child<QCheckBox>("chkAutoCPU"),
                                  &child<QComboBox>("cmbAutoCPU"),      &child<QLabel>("lblAutoCPU")};
    EXPECT_EQ(layoutFaults(frame, widgets), std::vector<std::string>{});
    for (QWidget* w : widgets)
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(AutomaticPanelTest, AFirstStartShowsTheStoredDefaults)
{
    EXPECT_EQ(child<QCheckBox>("chkAutoActive").checkState(), Qt::Checked);
    EXPECT_EQ(entries(child<QListView>("lstAutoInterval")), numbers(5, 5, 60));
    EXPECT_EQ(selectedText(child<QListView>("lstAutoInterval")), "30");
    ASSERT_EQ(child<QComboBox>("cmbAutoRelease").count(), 256);
    EXPECT_EQ(child<QComboBox>("cmbAutoRelease").itemText(255), "512 MB");
    EXPECT_EQ(child<QComboBox>("cmbAutoRelease").currentText(), "2 MB");
    ASSERT_EQ(child<QListView>("lstAutoAmount").model()->rowCount(), 256);
    EXPECT_EQ(selectedText(child<QListView>("lstAutoAmount")), "2 MB");
    EXPECT_EQ(child<QCheckBox>("chkAutoCPU").checkState(), Qt::Checked);
    EXPECT_EQ(entries(child<QComboBox>("cmbAutoCPU")), numbers(10, 10, 10));
    EXPECT_EQ(child<QComboBox>("cmbAutoCPU").currentText(), "60");
}

TEST_F(AutomaticPanelTest, UntickingAutoReleaseActiveStopsThePolicyAndStoresIt)
{
    ASSERT_TRUE(form.autoRelease.tmrAuto.enabled());

    clickCaption(child<QCheckBox>("chkAutoActive"));

    EXPECT_EQ(child<QCheckBox>("chkAutoActive").checkState(), Qt::Unchecked);
    EXPECT_EQ(form.autoRelease.chkAutoActive.value(), 0);
    EXPECT_FALSE(form.autoRelease.tmrAuto.enabled());
    EXPECT_EQ(harness.profile.written("Auto", "Active"), std::optional<std::string>("0"));

    clickCaption(child<QCheckBox>("chkAutoActive"));

    EXPECT_EQ(form.autoRelease.chkAutoActive.value(), 1);
    EXPECT_TRUE(form.autoRelease.tmrAuto.enabled());
    EXPECT_EQ(harness.profile.written("Auto", "Active"), std::optional<std::string>("1"));
}

TEST_F(AutomaticPanelTest, TheChosenMinimumIsStoredAsItsPosition)
{
    choose(child<QComboBox>("cmbAutoRelease"), 49);

    EXPECT_EQ(form.autoRelease.cmbAutoRelease.text(), "100 MB");
    EXPECT_EQ(child<QComboBox>("cmbAutoRelease").currentText(), "100 MB");
    EXPECT_EQ(harness.profile.written("Auto", "Minimum"), std::optional<std::string>("49"));
}

TEST_F(AutomaticPanelTest, TheChosenIntervalAndAmountAreStored)
{
    clickRow(child<QListView>("lstAutoInterval"), 11);
    clickRow(child<QListView>("lstAutoAmount"), 7);

    EXPECT_EQ(form.autoRelease.lstAutoInterval.text(), "60");
    EXPECT_EQ(harness.profile.written("Auto", "Interval"), std::optional<std::string>("11"));
    EXPECT_EQ(form.autoRelease.lstAutoAmount.text(), "16 MB");
    EXPECT_EQ(harness.profile.written("Auto", "Release"), std::optional<std::string>("7"));
}

TEST_F(AutomaticPanelTest, TheCpuConditionAndItsThresholdAreStored)
{
    choose(child<QComboBox>("cmbAutoCPU"), 2);
    clickCaption(child<QCheckBox>("chkAutoCPU"));

    EXPECT_EQ(form.autoRelease.cmbAutoCPU.text(), "30");
    EXPECT_EQ(harness.profile.written("Auto", "CPUPercent"), std::optional<std::string>("2"));
    EXPECT_EQ(child<QCheckBox>("chkAutoCPU").checkState(), Qt::Unchecked);
    EXPECT_EQ(harness.profile.written("Auto", "CPUCheck"), std::optional<std::string>("0"));
}

TEST_F(AutomaticPanelTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
