// The Startup/Other panel on a 512 MB machine after a first start.

#include "PanelTestSupport.h"

#include "settings/StartupOptions.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace nimbrel::testing {
namespace {

class StartupPanelTest : public PanelTest {
protected:
    StartupPanelTest() : PanelTest("fmStartup") {}

    QString labelIn(QGroupBox& box, const char* name)
    {
        auto* label = box.findChild<QLabel*>(QString::fromLatin1(name));
        return label == nullptr ? QStringLiteral("<missing>") : label->text();
    }
    std::optional<std::string> runValue()
    {
        return harness.registry.queryValue(StartupOptions::runKey, StartupOptions::runValue);
    }
};

std::vector<std::string> numbers(int from, int count)
{
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(std::to_string(from + i));
    return texts;
}

TEST_F(StartupPanelTest, ShowsSevenFramesWithTheirCaptions)
{
    EXPECT_EQ(child<QGroupBox>("fraDisplay").title(), "Display at Startup");
    EXPECT_EQ(child<QRadioButton>("optDisplay0").text(), "Fully Displayed");
    EXPECT_EQ(child<QRadioButton>("optDisplay1").text(), "Minimized in Taskbar");
    EXPECT_EQ(child<QRadioButton>("optDisplay2").text(), "Hidden");

    EXPECT_EQ(child<QGroupBox>("fraCPUUpdate").title(), "CPU Graph Update Interval");
    EXPECT_EQ(child<QRadioButton>("optCPU0").text(), "Slower");
    EXPECT_EQ(child<QRadioButton>("optCPU1").text(), "Medium");
    EXPECT_EQ(child<QRadioButton>("optCPU2").text(), "Faster");

    EXPECT_EQ(child<QGroupBox>("fraStartup").title(), "When I startup my computer");
    EXPECT_EQ(child<QCheckBox>("chkStartup").text(), "Automatically launch");

    EXPECT_EQ(child<QGroupBox>("fraStartupOptions").title(), "Startup Options");
    EXPECT_EQ(labelIn(child<QGroupBox>("fraStartupOptions"), "lblStartupRam"), "Amount of RAM to release");
    EXPECT_EQ(labelIn(child<QGroupBox>("fraStartupOptions"), "lblStartupWait"), "Time to Wait(Seconds)");

    EXPECT_EQ(child<QGroupBox>("fraRetry").title(), "Number of Retrys");
    EXPECT_EQ(labelIn(child<QGroupBox>("fraRetry"), "lblTry"), "Try");
    EXPECT_EQ(labelIn(child<QGroupBox>("fraRetry"), "lblTimes"), "times");

    EXPECT_EQ(child<QGroupBox>("fraLowLevel").title(), "Disable Low Level");
    EXPECT_EQ(child<QCheckBox>("chkLowLevel").text(), "");
    EXPECT_EQ(labelIn(child<QGroupBox>("fraLowLevel"), "lblResources"), "Resources Warning");
    EXPECT_EQ(labelIn(child<QGroupBox>("fraLowLevel"), "lblAutoTimeOnly"), "(Auto & Time Only");

    EXPECT_EQ(child<QGroupBox>("fraQuit").title(), "Quit button hides in tray");
    EXPECT_EQ(child<QCheckBox>("chkQuit").text(), "Enable");
}

TEST_F(StartupPanelTest, TheFramesLieInsideThePanelAndTheirControlsInsideThem)
{
    const QList<QWidget*> frames{
        &child<QGroupBox>("fraDisplay"), &child<QGroupBox>("fraCPUUpdate"),      &child<QGroupBox>("fraStartup"),
        &child<QGroupBox>("fraRetry"),   &child<QGroupBox>("fraStartupOptions"), &child<QGroupBox>("fraLowLevel"),
        &child<QGroupBox>("fraQuit")};
    EXPECT_EQ(layoutFaults(frame, frames), std::vector<std::string>{});
    for (QWidget* box : frames) {
        EXPECT_TRUE(box->isVisible()) << box->objectName().toStdString();
        EXPECT_EQ(layoutFaults(*box, box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)),
                  std::vector<std::string>{})
            << box->objectName().toStdString();
    }
}

// What is chosen at a first start is the model's to say; the panel lists every choice.
TEST_F(StartupPanelTest, TheDropDownListsOfferEveryChoice)
{
    ASSERT_EQ(child<QComboBox>("cmbStartupRam").count(), 257);
    EXPECT_EQ(child<QComboBox>("cmbStartupRam").itemText(0), "0 MB");
    EXPECT_EQ(child<QComboBox>("cmbStartupRam").itemText(256), "512 MB");
    EXPECT_EQ(entries(child<QComboBox>("cmbStartupWait")), numbers(1, 250));
    EXPECT_EQ(entries(child<QComboBox>("cmbRetry")), numbers(1, 20));
}

TEST_F(StartupPanelTest, TheLongestWaitAndTheMostRetriesAreStoredAsPositions)
{
    choose(child<QComboBox>("cmbStartupWait"), 249);
    choose(child<QComboBox>("cmbRetry"), 19);
    choose(child<QComboBox>("cmbStartupRam"), 32);

    EXPECT_EQ(child<QComboBox>("cmbStartupWait").currentText(), "250");
    EXPECT_EQ(harness.profile.written("Startup", "Wait"), std::optional<std::string>("249"));
    EXPECT_EQ(child<QComboBox>("cmbRetry").currentText(), "20");
    EXPECT_EQ(harness.profile.written("Startup", "Retry"), std::optional<std::string>("19"));
    EXPECT_EQ(form.startup.cmbStartupRam.text(), "64 MB");
    EXPECT_EQ(harness.profile.written("Startup", "Release"), std::optional<std::string>("32"));
}

TEST_F(StartupPanelTest, ChoosingHiddenStoresTheDisplayMode)
{
    clickCaption(child<QRadioButton>("optDisplay2"));

    EXPECT_TRUE(child<QRadioButton>("optDisplay2").isChecked());
    EXPECT_FALSE(child<QRadioButton>("optDisplay0").isChecked());
    EXPECT_EQ(harness.profile.written("Startup", "Display"), std::optional<std::string>("2"));
}

TEST_F(StartupPanelTest, ChoosingSlowerSlowsTheCpuMeter)
{
    clickCaption(child<QRadioButton>("optCPU0"));

    EXPECT_EQ(form.cpu.tmrCPU.interval(), 5000u);
    EXPECT_EQ(harness.profile.written("Startup", "CPUUpdate"), std::optional<std::string>("0"));
}

TEST_F(StartupPanelTest, UntickingAutomaticallyLaunchRemovesTheStartEntry)
{
    ASSERT_TRUE(runValue().has_value());

    clickCaption(child<QCheckBox>("chkStartup"));

    EXPECT_EQ(child<QCheckBox>("chkStartup").checkState(), Qt::Unchecked);
    EXPECT_FALSE(runValue().has_value());
    EXPECT_EQ(harness.profile.written("Startup", "AutoLaunch"), std::optional<std::string>("0"));
}

TEST_F(StartupPanelTest, TheWarningSwitchAndTheTraySwitchAreStored)
{
    clickCaption(child<QCheckBox>("chkLowLevel"));
    clickCaption(child<QCheckBox>("chkQuit"));

    EXPECT_EQ(child<QCheckBox>("chkLowLevel").checkState(), Qt::Checked);
    EXPECT_EQ(harness.profile.written("Startup", "LowLevel"), std::optional<std::string>("1"));
    EXPECT_EQ(child<QCheckBox>("chkQuit").checkState(), Qt::Unchecked);
    EXPECT_EQ(harness.profile.written("Startup", "Quit"), std::optional<std::string>("0"));
}

TEST_F(StartupPanelTest, AYesToDisableTheWarningTicksTheBox)
{
    form.startup.chkLowLevel.setValue(1); // as the policies do on that answer

    EXPECT_EQ(child<QCheckBox>("chkLowLevel").checkState(), Qt::Checked);
}

TEST_F(StartupPanelTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
