// The About panel and its two links.

#include "UiTestSupport.h"

#include "ui/qt/ClickableLabel.h"

#include <QLabel>

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
