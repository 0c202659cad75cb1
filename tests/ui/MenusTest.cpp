// The menu bar: its menus and entries, and what choosing them does.

#include "PanelTestSupport.h"

#include <QAction>
#include <QPushButton>

namespace nimbrel::testing {
namespace {

std::vector<std::string> entriesOf(QMenu& menu)
{
    std::vector<std::string> texts;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible()) continue;
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    return texts;
}

TEST_F(MainWindowTest, TheMenuBarHoldsFileViewAndHelp)
{
    std::vector<std::string> titles;
    for (QAction* action : window->menuBar()->actions()) titles.push_back(action->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&View", "&Help"}));
}

TEST_F(MainWindowTest, TheFileMenuIsTheTrayMenu)
{
    // The release entry names the amount chosen in the list, 2 MB without a settings file.
    EXPECT_EQ(entriesOf(menu("mnuFile")),
              (std::vector<std::string>{"Free Up 2 MB Now", "-", "Display Nimbrel", "-", "&Programs", "-",
                                        "Check For Upgrade", "-", "E&xit"}));
}

TEST_F(MainWindowTest, ProgramsIsDisabledWhileTheLauncherListIsEmpty)
{
    EXPECT_FALSE(menu("mnuPrograms").menuAction()->isEnabled());
}

TEST_F(MainWindowTest, ProgramsListsTheLauncherProgramsAfterTheMenuIsRebuilt)
{
    const std::string blanks(52, ' ');
    for (const char* name : {"Editor", "Browser", "Mail"}) {
        form.launcher.lstLauncher.addItem(name + blanks + "|/usr/bin/" + name);
    }
    form.trayMenu.loadMenu();

    EXPECT_TRUE(menu("mnuPrograms").menuAction()->isEnabled());
    EXPECT_EQ(entriesOf(menu("mnuPrograms")), (std::vector<std::string>{"Editor", "Browser", "Mail"}));

    // A shorter list leaves nothing over from the longer one.
    form.launcher.lstLauncher.clear();
    form.launcher.lstLauncher.addItem("Mail" + blanks + "|/usr/bin/mail");
    form.trayMenu.loadMenu();
    EXPECT_EQ(entriesOf(menu("mnuPrograms")), (std::vector<std::string>{"Mail"}));
}

TEST_F(MainWindowTest, DisplayNimbrelShowsTheHiddenWindow)
{
    click(child<QPushButton>("cmdHide"));
    ASSERT_FALSE(window->isVisible());

    action("mnuShow").trigger();

    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, TheViewMenuListsTheSixPanels)
{
    EXPECT_EQ(entriesOf(menu("mnuView")),
              (std::vector<std::string>{"Release &RAM", "&Automatic", "&Time Intervals", "&Launcher",
                                        "&History Graphs", "&Startup/Other"}));
}

TEST_F(MainWindowTest, TheHelpMenuEndsWithAboutNimbrel)
{
    EXPECT_EQ(entriesOf(menu("mnuHelp")),
              (std::vector<std::string>{"Help &Contents", "-", "Visit &Us online", "-", "&About Nimbrel"}));
}

TEST_F(MainWindowTest, TheReleaseEntryFollowsTheChosenAmount)
{
    clickRow(child<QListView>("lstRam"), 7);

    EXPECT_EQ(action("mnuRelease").text(), "Free Up 16 MB Now");
}

TEST_F(MainWindowTest, TheReleaseEntryStartsARelease)
{
    action("mnuRelease").trigger();
    EXPECT_TRUE(form.engine.running());

    // A second time while it runs: the busy message.
    action("mnuRelease").trigger();
    ASSERT_EQ(harness.messages.shown.size(), 1u);
    EXPECT_EQ(harness.messages.shown[0].prompt, ReleaseEngine::busyMessage);
}

TEST_F(MainWindowTest, ExitInTheFileMenuEndsTheProgram)
{
    action("mnuExit").trigger();
    EXPECT_EQ(harness.exit.ended, 1);
}

TEST_F(MainWindowTest, AMenuEntryTheModelDisablesCannotBeChosen)
{
    form.engine.mnuRelease.setEnabled(false);
    EXPECT_FALSE(action("mnuRelease").isEnabled());
    form.engine.mnuRelease.setVisible(false);
    EXPECT_FALSE(action("mnuRelease").isVisible());
}

} // namespace
} // namespace nimbrel::testing
