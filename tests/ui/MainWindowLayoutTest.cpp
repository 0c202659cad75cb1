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
    EXPECT_EQ(window->clientArea().size(), QSize(625, 425));
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

    EXPECT_EQ(placeOf(pause).topLeft(), QPoint(136, 376));
    EXPECT_EQ(placeOf(exit).topLeft(), QPoint(256, 376));
    EXPECT_EQ(placeOf(hide).topLeft(), QPoint(504, 376));
    for (QPushButton* button : {&pause, &exit, &hide}) {
        EXPECT_EQ(button->height(), 33) << button->objectName().toStdString();
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
    }
    // Side by side, not on top of each other.
    EXPECT_LE(placeOf(pause).right(), placeOf(exit).left());
    EXPECT_LE(placeOf(exit).right(), placeOf(hide).left());
}

TEST_F(MainWindowTest, TheBannerReadsNimbrelInBoldWhiteInsideItsOrangeFrame)
{
    auto& banner = child<QLabel>("lblBanner");
    EXPECT_EQ(banner.text(), "Nimbrel");
    EXPECT_EQ(placeOf(banner), QRect(88, 24, 429, 53));
    EXPECT_TRUE(banner.font().bold());

    auto& frame = child<QFrame>("Shape2");
    EXPECT_EQ(placeOf(frame), QRect(8, 8, 609, 73));
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
    EXPECT_EQ(placeOf(child<QFrame>("Shape3")), QRect(8, 88, 121, 329));
    const struct {
        const char* name;
        const char* caption;
        int top;
    } rows[] = {
        {"lblReleaseRAMN", "Release RAM", 112},    {"lblAutomaticN", "Automatic", 156},
        {"lblTimeIntervalsN", "Time Intervals", 200}, {"lblLauncherN", "Launcher", 244},
        {"lblHistoryGraphsN", "History Graphs", 288}, {"lblStartupOtherN", "Startup/Other", 332},
        {"lblAboutN", "About", 376},
    };
    for (const auto& row : rows) {
        auto& label = child<QLabel>(row.name);
        EXPECT_EQ(label.text(), row.caption);
        EXPECT_EQ(placeOf(label).top(), row.top) << row.name;
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(Qt::white)) << row.name;
        // Inside the navigation frame.
        EXPECT_TRUE(QRect(8, 88, 121, 329).contains(placeOf(label))) << row.name;
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
    EXPECT_EQ(placeOf(advice), QRect(144, 88, 473, 17));
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
        EXPECT_EQ(placeOf(frame), QRect(144, 104, 475, 257)) << f.name;
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
