// The Launcher panel's list and the list editor as the user sees them: names, with the path under the pointer,
// and the keyboard starting the chosen program.

#include "PanelTestSupport.h"

#include "launcher/LauncherEditor.h"
#include "launcher/ProgramEntry.h"
#include "ui/qt/LauncherEditorDialog.h"

#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

namespace nimbrel::testing {
namespace {

const std::string gedit = makeEntry("gedit", "/usr/bin/gedit");
const std::string xterm = makeEntry("xterm", "/usr/bin/xterm");

class LauncherPanelTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        harness.files.files[harness.directory.settingsPath() + "/Launcher.mbl"] = gedit + "\r\n" + xterm + "\r\nno bar here\r\n";
        harness.programs.files = {"/usr/bin/gedit", "/usr/bin/xterm"};
        harness.profile.store("Launcher", "Freeup", "4");
        MainWindowTest::SetUp();
        click(child<QLabel>("lblLauncherN"));
    }
};

std::vector<std::string> toolTips(const QListView& list)
{
    std::vector<std::string> tips;
    for (int i = 0; i < list.model()->rowCount(); ++i)
        tips.push_back(rowOf(list, i).data(Qt::ToolTipRole).toString().toStdString());
    return tips;
}

// A key as the user presses it on the list.
void press(QListView& list, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&list, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&list, &up);
}

TEST_F(LauncherPanelTest, TheListShowsNamesWithThePathAsEachRowsTooltip)
{
    auto& list = child<QListView>("lstLauncher");
    EXPECT_EQ(entries(list), (std::vector<std::string>{"gedit", "xterm", "no bar here"}));
    EXPECT_EQ(toolTips(list), (std::vector<std::string>{"/usr/bin/gedit", "/usr/bin/xterm", ""}));
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
}

TEST_F(LauncherPanelTest, EnterOrSpaceOnTheChosenEntryStartsItsProgram)
{
    auto& list = child<QListView>("lstLauncher");
    list.setFocus();
    press(list, Qt::Key_Return);
    EXPECT_TRUE(harness.programs.started.empty()) << "nothing chosen yet";
    clickRow(list, 1);
    press(list, Qt::Key_Return);
    clickRow(list, 0);
    press(list, Qt::Key_Space);
    EXPECT_EQ(harness.programs.started, (std::vector<std::string>{"/usr/bin/xterm", "/usr/bin/gedit"}));
}

TEST_F(LauncherPanelTest, TheEditorsListShowsNamesAndEnterRunsTheChosenProgram)
{
    int shown = 0;
    form.launcher.showEditor = [&](LauncherEditor& editor) {
        view::LauncherEditorDialog dialog(editor, window.get());
        QListView& list = *dialog.findChild<QListView*>(QStringLiteral("lstPrograms"));
        ++shown;
        EXPECT_TRUE(dialog.windowFlags() & Qt::CustomizeWindowHint);
        EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint) << "a dialog of fixed size";
        EXPECT_EQ(entries(list), (std::vector<std::string>{"gedit", "xterm", "no bar here"}));
        EXPECT_EQ(toolTips(list)[1], "/usr/bin/xterm");
        clickRow(list, 1);
        press(list, Qt::Key_Enter);
        EXPECT_TRUE(editor.frmLauncher.shown()) << "Enter runs the program; it does not close the editor";
    };
    click(child<QPushButton>("cmdConfigureLauncher"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(harness.programs.started, std::vector<std::string>{"/usr/bin/xterm"});
}

} // namespace
} // namespace nimbrel::testing
