// The small services of the view: opening addresses, yielding, reporting errors.

#include "ui/qt/QtEventLoop.h"
#include "ui/qt/QtUrlOpener.h"

#include <QDesktopServices>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>


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

// The desktop's xdg-open, played by a script that notes the address it was given and ends as xdg-open does
// with the code given: 0 when a browser took the page, 3 when the desktop has none.
class DesktopOpener {
public:
    explicit DesktopOpener(int exitCode) : path_(qgetenv("PATH"))
    {
        QFile script(folder_.filePath(QStringLiteral("xdg-open")));
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > \"%1\"\nexit %2\n")
                         .arg(noted(), QString::number(exitCode))
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", folder_.path().toUtf8() + ":" + path_);
    }
    ~DesktopOpener() { qputenv("PATH", path_); }
    QString noted() const { return folder_.filePath(QStringLiteral("address")); }

private:
    QTemporaryDir folder_;
    QByteArray path_;
};

// Lets the program's events run until the condition holds, or the time (ms) has passed.
bool waitFor(const std::function<bool()>& condition, int limit = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < limit) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return condition();
}

TEST(QtUrlOpener, APageTheDesktopCannotOpenIsToldAsFailed)
{
    const DesktopOpener noBrowser(3);
    int failures = 0;
    view::QtUrlOpener().openUrl("http://127.0.0.1:8765/help/", [&] { ++failures; });
    EXPECT_TRUE(waitFor([&] { return failures > 0; }));
    EXPECT_EQ(failures, 1);
    QFile noted(noBrowser.noted());
    ASSERT_TRUE(noted.open(QIODevice::ReadOnly));
    EXPECT_EQ(noted.readAll(), "http://127.0.0.1:8765/help/");
}

TEST(QtUrlOpener, APageABrowserTookIsNoFailure)
{
    const DesktopOpener browser(0);
    int failures = 0;
    view::QtUrlOpener().openUrl("http://127.0.0.1:8765/", [&] { ++failures; });
    ASSERT_TRUE(waitFor([&] { return QFile::exists(browser.noted()); }));
    waitFor([] { return false; }, 1000); // xdg-open's end arrives meanwhile
    EXPECT_EQ(failures, 0);
}

TEST(QtUrlOpener, WithoutXdgOpenThePageFails)
{
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toUtf8());
    int failures = 0;
    view::QtUrlOpener().openUrl("http://127.0.0.1:8765/", [&] { ++failures; });
    qputenv("PATH", path);
    EXPECT_TRUE(waitFor([&] { return failures > 0; }));
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
