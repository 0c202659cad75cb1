// The Startup/Other panel on a 512 MB machine after a first start.

#include "PanelTestSupport.h"

#include "settings/StartupOptions.h"
#include "ui/qt/StartupPanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace nimbrel::testing {
namespace {

class StartupPanelTest : public PanelTest<view::StartupPanel> {
protected:
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
    EXPECT_EQ(panel->fraDisplay->title(), "Display at Startup");
    EXPECT_EQ(panel->optDisplay[0]->text(), "Fully Displayed");
    EXPECT_EQ(panel->optDisplay[1]->text(), "Minimized in Taskbar");
    EXPECT_EQ(panel->optDisplay[2]->text(), "Hidden");

    EXPECT_EQ(panel->fraCPUUpdate->title(), "CPU Graph Update Interval");
    EXPECT_EQ(panel->optCPU[0]->text(), "Slower");
    EXPECT_EQ(panel->optCPU[1]->text(), "Medium");
    EXPECT_EQ(panel->optCPU[2]->text(), "Faster");

    EXPECT_EQ(panel->fraStartup->title(), "When I startup my computer");
    EXPECT_EQ(panel->chkStartup->text(), "Automatically launch");

    EXPECT_EQ(panel->fraStartupOptions->title(), "Startup Options");
    EXPECT_EQ(labelIn(*panel->fraStartupOptions, "lblStartupRam"), "Amount of RAM to release");
    EXPECT_EQ(labelIn(*panel->fraStartupOptions, "lblStartupWait"), "Time to Wait(Seconds)");

    EXPECT_EQ(panel->fraRetry->title(), "Number of Retrys");
    EXPECT_EQ(labelIn(*panel->fraRetry, "lblTry"), "Try");
    EXPECT_EQ(labelIn(*panel->fraRetry, "lblTimes"), "times");

    EXPECT_EQ(panel->fraLowLevel->title(), "Disable Low Level");
    EXPECT_EQ(panel->chkLowLevel->text(), "");
    EXPECT_EQ(labelIn(*panel->fraLowLevel, "lblResources"), "Resources Warning");
    EXPECT_EQ(labelIn(*panel->fraLowLevel, "lblAutoTimeOnly"), "(Auto & Time Only");

    EXPECT_EQ(panel->fraQuit->title(), "Quit button hides in tray");
    EXPECT_EQ(panel->chkQuit->text(), "Enable");
}

TEST_F(StartupPanelTest, TheFramesLieInsideThePanelAndTheirControlsInsideThem)
{
    const QList<QWidget*> frames{panel->fraDisplay,        panel->fraCPUUpdate, panel->fraStartup, panel->fraRetry,
                                 panel->fraStartupOptions, panel->fraLowLevel,  panel->fraQuit};
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
    ASSERT_EQ(panel->cmbStartupRam->count(), 257);
    EXPECT_EQ(panel->cmbStartupRam->itemText(0), "0 MB");
    EXPECT_EQ(panel->cmbStartupRam->itemText(256), "512 MB");
    EXPECT_EQ(entries(*panel->cmbStartupWait), numbers(1, 250));
    EXPECT_EQ(entries(*panel->cmbRetry), numbers(1, 20));
}

TEST_F(StartupPanelTest, TheLongestWaitAndTheMostRetriesAreStoredAsPositions)
{
    choose(*panel->cmbStartupWait, 249);
    choose(*panel->cmbRetry, 19);
    choose(*panel->cmbStartupRam, 32);

    EXPECT_EQ(panel->cmbStartupWait->currentText(), "250");
    EXPECT_EQ(harness.profile.written("Startup", "Wait"), std::optional<std::string>("249"));
    EXPECT_EQ(panel->cmbRetry->currentText(), "20");
    EXPECT_EQ(harness.profile.written("Startup", "Retry"), std::optional<std::string>("19"));
    EXPECT_EQ(form.startup.cmbStartupRam.text(), "64 MB");
    EXPECT_EQ(harness.profile.written("Startup", "Release"), std::optional<std::string>("32"));
}

TEST_F(StartupPanelTest, ChoosingHiddenStoresTheDisplayMode)
{
    clickCaption(*panel->optDisplay[2]);

    EXPECT_TRUE(panel->optDisplay[2]->isChecked());
    EXPECT_FALSE(panel->optDisplay[0]->isChecked());
    EXPECT_EQ(harness.profile.written("Startup", "Display"), std::optional<std::string>("2"));
}

TEST_F(StartupPanelTest, ChoosingSlowerSlowsTheCpuMeter)
{
    clickCaption(*panel->optCPU[0]);

    EXPECT_EQ(form.cpu.tmrCPU.interval(), 5000u);
    EXPECT_EQ(harness.profile.written("Startup", "CPUUpdate"), std::optional<std::string>("0"));
}

TEST_F(StartupPanelTest, UntickingAutomaticallyLaunchRemovesTheStartEntry)
{
    ASSERT_TRUE(runValue().has_value());

    clickCaption(*panel->chkStartup);

    EXPECT_EQ(panel->chkStartup->checkState(), Qt::Unchecked);
    EXPECT_FALSE(runValue().has_value());
    EXPECT_EQ(harness.profile.written("Startup", "AutoLaunch"), std::optional<std::string>("0"));
}

TEST_F(StartupPanelTest, TheWarningSwitchAndTheTraySwitchAreStored)
{
    clickCaption(*panel->chkLowLevel);
    clickCaption(*panel->chkQuit);

    EXPECT_EQ(panel->chkLowLevel->checkState(), Qt::Checked);
    EXPECT_EQ(harness.profile.written("Startup", "LowLevel"), std::optional<std::string>("1"));
    EXPECT_EQ(panel->chkQuit->checkState(), Qt::Unchecked);
    EXPECT_EQ(harness.profile.written("Startup", "Quit"), std::optional<std::string>("0"));
}

TEST_F(StartupPanelTest, AYesToDisableTheWarningTicksTheBox)
{
    form.startup.chkLowLevel.setValue(1); // as the policies do on that answer

    EXPECT_EQ(panel->chkLowLevel->checkState(), Qt::Checked);
}

TEST_F(StartupPanelTest, NoCaptionIsCutOff)
{
    EXPECT_EQ(cutOffCaptions(frame), std::vector<std::string>{});
}

} // namespace
} // namespace nimbrel::testing
