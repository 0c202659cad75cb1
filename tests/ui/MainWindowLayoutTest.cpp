// The main window as laid out: captions and places of what the user sees,
// in pixels of the client area (15 twips a pixel).

#include "UiTestSupport.h"
#include "ui/qt/Theme.h"

#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace nimbrel::testing {
namespace {

TEST(MainWindowStart, IsCaptionedNimbrelAndShownOnceLoaded)
{
    FormHarness harness;
    view::MainWindow window(harness.form);
    EXPECT_EQ(window.windowTitle(), "Nimbrel");
    EXPECT_FALSE(window.isVisible());

    harness.form.Form_Load();

    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(window.windowTitle().toStdString(), harness.form.frmMain.caption());
}

TEST_F(MainWindowTest, KeepsTheSizeItWasDesignedWith)
{
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    // Its frame offers the buttons asked for, and no Maximise.
    EXPECT_TRUE(window->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    // The menu bar sits above the client area, not over it.
    EXPECT_GE(window->clientArea().mapTo(window.get(), QPoint(0, 0)).y(), window->menuBar()->height());
}

TEST_F(MainWindowTest, TheThreeButtonsSitBelowThePanelArea)
{
    auto& pause = child<QPushButton>("cmdPause");
    auto& exit = child<QPushButton>("cmdExit");
    auto& hide = child<QPushButton>("cmdHide");

    EXPECT_EQ(pause.text(), "&Pause All Activity");
    EXPECT_EQ(exit.text(), "&Exit Nimbrel");
    EXPECT_EQ(hide.text(), "&Hide");

    for (QPushButton* button : {&pause, &exit, &hide}) {
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
        EXPECT_GE(placeOf(*button).top(), placeOf(child<QGroupBox>("fmRAM")).bottom())
            << button->objectName().toStdString();
    }
    // Side by side, not on top of each other.
    EXPECT_LE(placeOf(pause).right(), placeOf(exit).left());
    EXPECT_LE(placeOf(exit).right(), placeOf(hide).left());
}

TEST_F(MainWindowTest, TheBannerReadsNimbrelInBoldWhiteInsideItsOrangeFrame)
{
    auto& banner = child<QLabel>("lblBanner");
    EXPECT_EQ(banner.text(), "Nimbrel");
    EXPECT_TRUE(banner.font().bold());

    auto& frame = child<QFrame>("Shape2");
    EXPECT_TRUE(placeOf(frame).contains(placeOf(banner)));
    const QImage pixels = picture(frame);
    EXPECT_GT(pixelsNear(pixels, QColor(0xFF, 0x99, 0x00), 10), 0) << "orange frame";
    EXPECT_GT(pixelsNear(picture(banner), Qt::white, 10), 0) << "white text";
}

TEST_F(MainWindowTest, APanelIsAWhiteCardWithItsCaptionInDarkBoldOnItsTopEdge)
{
    const QImage panel = picture(child<QGroupBox>("fmRAM"));
    const QImage captionBand = panel.copy(0, 0, panel.width() / 3, 16);
    const QImage body = panel.copy(0, panel.height() / 2, panel.width(), 8);
    EXPECT_GT(pixelsNear(captionBand, view::theme::column, 40), 10) << "\"Release RAM\" on the edge";
    EXPECT_GT(pixelsNear(body, Qt::white, 5), body.width() * 8 / 4) << "a white card";
}

TEST_F(MainWindowTest, TheNavigationColumnListsTheSevenPanelsFromTheTop)
{
    const QRect column = placeOf(child<QFrame>("Shape3"));
    const struct {
        const char* name;
        const char* caption;
    } rows[] = {
        {"lblReleaseRAMN", "Release RAM"},
        {"lblAutomaticN", "Automatic"},
        {"lblTimeIntervalsN", "Time Intervals"},
        {"lblLauncherN", "Launcher"},
        {"lblHistoryGraphsN", "History Graphs"},
        {"lblStartupOtherN", "Startup/Other"},
        {"lblAboutN", "About"},
    };
    int previousTop = -1;
    for (const auto& row : rows) {
        auto& label = child<QLabel>(row.name);
        EXPECT_EQ(label.text(), row.caption);
        EXPECT_GT(placeOf(label).top(), previousTop) << row.name << " below the one before";
        previousTop = placeOf(label).top();
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white)) << row.name;
        // Inside the navigation frame.
        EXPECT_TRUE(column.contains(placeOf(label))) << row.name;
        // The whole caption fits.
        EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()) + 2 * label.indent(), label.width())
            << row.name;
    }
}

TEST_F(MainWindowTest, TheAdviceLineStandsAboveThePanelArea)
{
    auto& advice = child<QLabel>("lblAdvice");
    EXPECT_EQ(advice.text(),
              "It is adviced that you do not release the amount of RAM greater than 50 % of Total Physical Memory");
    EXPECT_LE(advice.fontMetrics().horizontalAdvance(advice.text()), advice.width());
    EXPECT_GE(QFontMetricsF(advice.font()).capHeight(), QFontMetricsF(window->font()).capHeight())
        << "letters as tall as the rest of the window's";
    EXPECT_EQ(advice.palette().color(QPalette::WindowText), QColor(Qt::black));
}

TEST_F(MainWindowTest, OnlyTheReleaseRamPanelIsShownAtStart)
{
    const struct {
        const char* name;
        const char* caption;
    } frames[] = {
        {"fmRAM", "Release RAM"},     {"fmAutomatic", "Automatic"},   {"fmTime", "Time Intervals"},
        {"fmLauncher", "Launcher"},   {"fmGraph", "History Graphs"}, {"fmStartup", "Startup/Other"},
        {"fmAbout", "About"},
    };
    for (const auto& f : frames) {
        auto& frame = child<QGroupBox>(f.name);
        EXPECT_EQ(frame.title(), f.caption);
        EXPECT_EQ(frame.isVisible(), std::string(f.name) == "fmRAM") << f.name;
    }
}

TEST_F(MainWindowTest, PausingShowsInTheCaptionAndOnTheButton)
{
    click(child<QPushButton>("cmdPause"));

    EXPECT_EQ(window->windowTitle(), "Nimbrel [Paused]");
    EXPECT_EQ(child<QPushButton>("cmdPause").text(), "&Resume Activity");

    click(child<QPushButton>("cmdPause"));
    EXPECT_EQ(child<QPushButton>("cmdPause").text(), "&Pause All Activity");
}

} // namespace
} // namespace nimbrel::testing
