// Choosing a panel with the navigation column and the View and Help menus.

#include "UiTestSupport.h"

#include "ui/qt/Theme.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>

namespace nimbrel::testing {
namespace {

const QColor blue(0, 0, 255);
const QColor white(255, 255, 255);

const char* const frameNames[] = {"fmRAM",   "fmAutomatic", "fmTime", "fmLauncher",
                                  "fmGraph", "fmStartup",   "fmAbout"};
const char* const labelNames[] = {"lblReleaseRAMN",    "lblAutomaticN",    "lblTimeIntervalsN", "lblLauncherN",
                                  "lblHistoryGraphsN", "lblStartupOtherN", "lblAboutN"};

class NavigationTest : public MainWindowTest {
protected:
    std::vector<std::string> visibleFrames()
    {
        std::vector<std::string> shown;
        for (const char* name : frameNames) {
            if (child<QGroupBox>(name).isVisible()) shown.emplace_back(name);
        }
        return shown;
    }

    // Blue text is drawn on a light chip, so the user can read it on the dark column.
    bool looksBlue(const char* label) { return pixelsNear(picture(child<QLabel>(label)), blue, 60) > 0; }
    bool looksWhite(const char* label)
    {
        const QImage pixels = picture(child<QLabel>(label));
        return pixelsNear(pixels, white, 30) > 0 && pixelsNear(pixels, blue, 60) == 0;
    }
};

TEST_F(NavigationTest, ClickingAutomaticShowsItsPanelAndTurnsItsLabelBlue)
{
    click(child<QLabel>("lblAutomaticN"));

    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmAutomatic"});
    EXPECT_EQ(child<QLabel>("lblAutomaticN").palette().color(QPalette::WindowText), blue);
    EXPECT_TRUE(looksBlue("lblAutomaticN"));
    EXPECT_TRUE(looksWhite("lblReleaseRAMN"));
}

TEST_F(NavigationTest, ClickingReleaseRamRightAfterStartChangesNothing)
{
    click(child<QLabel>("lblReleaseRAMN"));

    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmRAM"});
    EXPECT_TRUE(looksWhite("lblReleaseRAMN"));
}

TEST_F(NavigationTest, EveryLabelShowsExactlyItsOwnPanel)
{
    // Release RAM last: right after start it is already shown, and choosing it changes nothing.
    for (int n : {1, 2, 3, 4, 5, 6, 0}) {
        click(child<QLabel>(labelNames[n]));
        EXPECT_EQ(visibleFrames(), std::vector<std::string>{frameNames[n]}) << labelNames[n];
        // Only the chosen label is blue.
        for (int other = 0; other < 7; ++other) {
            const QColor expected = other == n ? blue : white;
            EXPECT_EQ(child<QLabel>(labelNames[other]).palette().color(QPalette::WindowText), expected)
                << "after " << labelNames[n] << ": " << labelNames[other];
        }
        EXPECT_TRUE(child<QLabel>("lblAdvice").isVisible());
    }
}

TEST_F(NavigationTest, MovingBackToReleaseRamTurnsItBlueAndTheOtherWhite)
{
    click(child<QLabel>("lblHistoryGraphsN"));
    click(child<QLabel>("lblReleaseRAMN"));

    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmRAM"});
    EXPECT_TRUE(looksBlue("lblReleaseRAMN"));
    EXPECT_TRUE(looksWhite("lblHistoryGraphsN"));
}

TEST_F(NavigationTest, AViewMenuEntryDoesWhatItsLabelDoes)
{
    action("mnuViewGraph").trigger();

    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmGraph"});
    EXPECT_TRUE(looksBlue("lblHistoryGraphsN"));

    // Twice in a row leaves everything as after the first time.
    action("mnuViewGraph").trigger();
    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmGraph"});
    EXPECT_TRUE(looksBlue("lblHistoryGraphsN"));
}

TEST_F(NavigationTest, AboutNimbrelInTheHelpMenuShowsTheAboutPanel)
{
    action("mnuHelpAbout").trigger();

    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmAbout"});
    EXPECT_TRUE(looksBlue("lblAboutN"));
}

TEST_F(NavigationTest, TheFocusOutlineFollowsAPanelChosenByMouseOrMenu)
{
    window->activateWindow();
    QCoreApplication::processEvents();
    child<QLabel>(labelNames[0]).setFocus(Qt::TabFocusReason);
    const QColor orange = view::theme::orange;

    click(child<QLabel>(labelNames[1]));
    EXPECT_EQ(pixelsNear(picture(child<QLabel>(labelNames[0])), orange, 30), 0) << "no outline left on Release RAM";
    EXPECT_EQ(QApplication::focusWidget(), &child<QLabel>(labelNames[1]));
    action("mnuViewGraph").trigger();
    EXPECT_EQ(pixelsNear(picture(child<QLabel>(labelNames[1])), orange, 30), 0);
    EXPECT_EQ(QApplication::focusWidget(), &child<QLabel>(labelNames[4]));
}

TEST_F(NavigationTest, TheKeyboardWalksTheLabelsAndEnterOrSpaceChooses)
{
    window->activateWindow();
    QCoreApplication::processEvents();
    child<QLabel>(labelNames[0]).setFocus(Qt::TabFocusReason);
    const QColor orange = view::theme::orange;
    EXPECT_GT(pixelsNear(picture(child<QLabel>(labelNames[0])), orange, 30), 0) << "the focus shows";

    for (int n = 1; n < 7; ++n) {
        press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), &child<QLabel>(labelNames[n])) << labelNames[n];
    }
    EXPECT_EQ(pixelsNear(picture(child<QLabel>(labelNames[0])), orange, 30), 0) << "and goes with the focus";
    press(Qt::Key_Return);
    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmAbout"});
    press(Qt::Key_Backtab);
    press(Qt::Key_Space);
    EXPECT_EQ(visibleFrames(), std::vector<std::string>{"fmStartup"});
}

TEST_F(NavigationTest, NavigationLabelsShowAPointingHand)
{
    for (const char* name : labelNames) {
        EXPECT_EQ(child<QLabel>(name).cursor().shape(), Qt::PointingHandCursor) << name;
    }
}

} // namespace
} // namespace nimbrel::testing
