// The small services of the view: opening addresses, yielding, reporting errors.

#include "ui/qt/QtEventLoop.h"
#include "ui/qt/QtUrlOpener.h"

#include <QDesktopServices>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>


namespace nimbrel::testing {
namespace {

// Stands in for the browser: the desktop hands it the addresses of its scheme.
class Browser : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.push_back(url); }
};

TEST(QtUrlOpener, HandsTheAddressToTheDesktop)
{
    Browser browser;
    QDesktopServices::setUrlHandler(QStringLiteral("nimbreltest"), &browser, "open");

    view::QtUrlOpener().openUrl("nimbreltest://127.0.0.1:8765/help/");

    QDesktopServices::unsetUrlHandler(QStringLiteral("nimbreltest"));
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QUrl(QStringLiteral("nimbreltest://127.0.0.1:8765/help/")));
}

TEST(QtEventLoop, LetsPendingEventsRun)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });

    view::QtEventLoop().doEvents();

    EXPECT_TRUE(ran);
}

} // namespace
} // namespace nimbrel::testing

#include "QtServicesTest.moc"
