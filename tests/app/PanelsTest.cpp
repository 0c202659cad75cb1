#include "support/FormHarness.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

using namespace nimbrel::testing;

class PanelsTest : public ::testing::Test, public FormHarness {
protected:
    void SetUp() override { form.Form_Load(); }

    // Which frames are visible, and which labels are blue.
    std::vector<int> visibleFrames() const
    {
        std::vector<int> v;
        for (int n = 0; n < Panels::Count; ++n) {
            if (form.panels.frames[n].visible()) v.push_back(n);
        }
        return v;
    }
    std::vector<int> blueLabels() const
    {
        std::vector<int> v;
        for (int n = 0; n < Panels::Count; ++n) {
            if (form.panels.navigation[n].foreColour() == colours::blue) v.push_back(n);
        }
        return v;
    }
};

TEST_F(PanelsTest, AfterStartTheReleasePanelShowsAndEveryLabelIsWhite)
{
    EXPECT_EQ(visibleFrames(), std::vector<int>{Panels::ReleaseRAM});
    EXPECT_TRUE(blueLabels().empty());
    EXPECT_EQ(form.panels.currentPanel(), 0);
}

TEST_F(PanelsTest, ChoosingTheReleasePanelRightAfterStartChangesNothing)
{
    form.panels.navigation[Panels::ReleaseRAM].userClick();
    EXPECT_TRUE(blueLabels().empty()) << "the Release RAM label stays white";
    EXPECT_EQ(visibleFrames(), std::vector<int>{Panels::ReleaseRAM});
}

TEST_F(PanelsTest, ChoosingAutomaticShowsItAndTurnsItsLabelBlue)
{
    form.panels.navigation[Panels::Automatic].userClick();
    EXPECT_EQ(visibleFrames(), std::vector<int>{Panels::Automatic});
    EXPECT_EQ(blueLabels(), std::vector<int>{Panels::Automatic});
    form.panels.navigation[Panels::ReleaseRAM].userClick();
    EXPECT_EQ(blueLabels(), std::vector<int>{Panels::ReleaseRAM}) << "now it turns blue, after moving away and back";
}

TEST_F(PanelsTest, ChoosingHistoryGraphsTwiceIsLikeOnce)
{
    form.panels.navigation[Panels::HistoryGraphs].userClick();
    form.panels.navigation[Panels::HistoryGraphs].userClick();
    EXPECT_EQ(visibleFrames(), std::vector<int>{Panels::HistoryGraphs});
    EXPECT_EQ(blueLabels(), std::vector<int>{Panels::HistoryGraphs});
    EXPECT_EQ(form.panels.currentPanel(), Panels::HistoryGraphs);
}

TEST_F(PanelsTest, MenuEntriesBehaveLikeTheirLabels)
{
    const char* captions[] = {"Release &RAM",       "&Automatic",     "&Time Intervals", "&Launcher",
                              "&History Graphs",    "&Startup/Other", "&About Nimbrel"};
    for (int n = Panels::Count - 1; n >= 0; --n) {
        EXPECT_EQ(form.panels.viewMenu[n].caption(), captions[n]);
        form.panels.viewMenu[n].userClick();
        EXPECT_EQ(visibleFrames(), std::vector<int>{n});
        EXPECT_EQ(blueLabels(), std::vector<int>{n});
        EXPECT_TRUE(form.panels.lblAdvice.visible());
    }
}

TEST_F(PanelsTest, LinksOpenTheVendorsPagesInTheBrowser)
{
    form.panels.lblHelp.userClick();
    form.panels.lblWebsite.userClick();
    EXPECT_EQ(urls.opened, (std::vector<std::string>{"http://127.0.0.1:8765/help/", "http://127.0.0.1:8765/"}));
    EXPECT_EQ(form.panels.lblHelp.foreColour(), colours::blue);
    EXPECT_TRUE(messages.shown.empty()) << "the browser showed them";
}

TEST_F(PanelsTest, TheHelpMenuOpensTheSamePagesAndWithoutABrowserShowsTheirAddresses)
{
    urls.noBrowser = true;
    form.panels.mnuHelpContents.userClick();
    form.panels.mnuHelpVisitUs.userClick();
    form.panels.lblHelp.userClick();
    EXPECT_EQ(urls.opened, (std::vector<std::string>{"http://127.0.0.1:8765/help/", "http://127.0.0.1:8765/",
                                                     "http://127.0.0.1:8765/help/"}));
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].prompt, std::string(Panels::notOpenedMessage) + "\n\nhttp://127.0.0.1:8765/help/");
    EXPECT_EQ(messages.shown[1].prompt, std::string(Panels::notOpenedMessage) + "\n\nhttp://127.0.0.1:8765/");
    EXPECT_EQ(messages.shown[0].title, "Nimbrel");
}

} // namespace
} // namespace nimbrel
