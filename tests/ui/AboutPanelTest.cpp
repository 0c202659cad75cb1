// The About panel and its two links.

#include "UiTestSupport.h"

#include "ui/qt/ClickableLabel.h"

#include <QFile>
#include <QLabel>
#include <QRegularExpression>

namespace nimbrel::testing {
namespace {

class AboutPanelTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        click(child<QLabel>("lblAboutN"));
    }
};

TEST_F(AboutPanelTest, OffersHelpAndTheWebsiteAsBlueLinks)
{
    EXPECT_EQ(child<QLabel>("lblHelpCaption").text(), "Help:");
    EXPECT_EQ(child<QLabel>("lblWebsiteCaption").text(), "Visit our website:");
    EXPECT_EQ(child<QLabel>("lblHelp").text(), "User Guide");
    EXPECT_EQ(child<QLabel>("lblWebsite").text(), "http://127.0.0.1:8765/");
    for (const char* link : {"lblHelp", "lblWebsite"}) {
        auto& label = child<QLabel>(link);
        EXPECT_TRUE(label.isVisible()) << link;
        EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 0, 255)) << link;
        EXPECT_GT(pixelsNear(picture(label), QColor(0, 0, 255), 60), 0) << link;
        EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor) << link;
    }
    EXPECT_FALSE(child<QLabel>("lblAboutText").text().isEmpty());
}

TEST_F(AboutPanelTest, ShowsTheVersionOfTheNewestReleaseInTheAppStreamFile)
{
    QFile metainfo(QStringLiteral(NIMBREL_SOURCE_DIR "/desktop/io.github.nimbrel.Nimbrel.metainfo.xml"));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    // Releases are listed newest first.
    const QRegularExpressionMatch release =
        QRegularExpression(QStringLiteral("<release version=\"([^\"]+)\"")).match(QString::fromUtf8(metainfo.readAll()));
    ASSERT_TRUE(release.hasMatch());

    auto& version = child<QLabel>("lblVersion");
    EXPECT_EQ(version.text(), QStringLiteral("Version ") + release.captured(1));
    EXPECT_TRUE(version.isVisible());
    EXPECT_TRUE(version.parentWidget()->rect().contains(version.geometry())) << "cut off by the panel's frame";
    EXPECT_GE(version.width(), version.sizeHint().width()) << "the text is cut short";
}

TEST_F(AboutPanelTest, ClickingUserGuideOpensTheHelpPage)
{
    click(child<QLabel>("lblHelp"));
    EXPECT_EQ(harness.urls.opened, std::vector<std::string>{"http://127.0.0.1:8765/help/"});
}

TEST_F(AboutPanelTest, ClickingTheWebsiteOpensTheHomePage)
{
    click(child<QLabel>("lblWebsite"));
    EXPECT_EQ(harness.urls.opened, std::vector<std::string>{"http://127.0.0.1:8765/"});
}

TEST_F(AboutPanelTest, TabReachesBothLinksAndEnterOrSpaceOpensThem)
{
    window->activateWindow();
    QCoreApplication::processEvents();
    child<QLabel>("lblAboutN").setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &child<QLabel>("lblHelp"));
    press(Qt::Key_Return);
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &child<QLabel>("lblWebsite"));
    EXPECT_GT(pixelsNear(picture(child<QLabel>("lblWebsite")), QColor(0, 0, 255), 60), 0);
    press(Qt::Key_Space);
    EXPECT_EQ(harness.urls.opened, (std::vector<std::string>{"http://127.0.0.1:8765/help/", "http://127.0.0.1:8765/"}));
}

TEST_F(AboutPanelTest, APressThatEndsOutsideTheLinkIsNoClick)
{
    auto& link = child<QLabel>("lblHelp");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), link.mapToGlobal(QPointF(2, 2)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&link, &press);
    const QPointF outside(link.width() + 20, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, outside, link.mapToGlobal(outside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&link, &release);

    EXPECT_TRUE(harness.urls.opened.empty());
}

} // namespace
} // namespace nimbrel::testing
