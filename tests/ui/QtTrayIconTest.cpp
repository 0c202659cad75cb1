// The notification-area icon: its picture, its tooltip, its clicks and its
// pop-up menu; on Qt's offscreen platform, and docked in a real tray (trayer
// on Xvfb) when those programs are installed.

#include "ui/qt/QtTrayIcon.h"

#include "program/linux/IconThemeFiles.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/StatusNotifierTray.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <vector>

namespace nimbrel::testing {
namespace {

using namespace std::chrono_literals;

const QColor programBlue(85, 173, 247);

// Lets the event loop run until the condition holds; false if it still does
// not after a generous while.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds patience = 20s)
{
    const QDeadlineTimer deadline(patience);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// ---- The picture -------------------------------------------------------

TEST(AppIcon, IsDrawnAtTheTraySizesAndTheWindowSizes)
{
    const QIcon icon = view::appIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 64, 128}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
        // Asked for a size it has, the icon gives that drawing, not a scaled one.
        EXPECT_EQ(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                  view::drawAppIcon(size).toImage().convertToFormat(QImage::Format_ARGB32))
            << size;
    }
}

TEST(AppIcon, AtSixteenPixelsIsABlueChipWithADarkOutlineAndAWhiteArrow)
{
    const QImage image = view::drawAppIcon(16).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(16, 16));
    int opaque = 0;
    int blue = 0;
    int dark = 0;
    int white = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == 0) continue;
            ++opaque;
            if (c == programBlue) ++blue;
            if (c.lightness() < 80) ++dark;
            if (c == QColor(Qt::white)) ++white;
        }
    }
    EXPECT_GE(opaque, 16 * 16 / 2) << "fills most of its square";
    EXPECT_GE(blue, 40);
    EXPECT_GE(dark, 40);
    EXPECT_GE(white, 20);
    // The centre is the arrow; the middle of each edge is a pin, the corners are open.
    EXPECT_EQ(image.pixelColor(8, 8), QColor(Qt::white));
    EXPECT_LT(image.pixelColor(7, 0).lightness(), 80);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(15, 15).alpha(), 0);
}

TEST(AppIcon, TheTraySizesHaveOnlySharpPixels)
{
    // No pixel blended with its neighbour: each is transparent or one of the three colours.
    const std::set<QRgb> colours{programBlue.rgb(), QColor(Qt::white).rgb(), QColor(18, 44, 77).rgb()};
    for (const int size : {16, 22, 24}) {
        const QImage image = view::drawAppIcon(size).toImage().convertToFormat(QImage::Format_ARGB32);
        int blurred = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) != 0 && !colours.contains(pixel)) ++blurred;
            }
        }
        EXPECT_EQ(blurred, 0) << size << " pixels";
    }
}

TEST(AppIcon, IsTheApplicationsWindowIconOnceInstalled)
{
    const QIcon before = QApplication::windowIcon();
    view::installAppIcon(*qApp);
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(48, 48)));
    EXPECT_EQ(QApplication::windowIcon().pixmap(48).toImage(), view::drawAppIcon(48).toImage());
    QApplication::setWindowIcon(before);
}

TEST(AppIcon, IsWrittenAsOnePngFilePerSize)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString dir = temp.filePath(QStringLiteral("icons/hicolor"));

    ASSERT_TRUE(program::writeIconFiles(dir));

    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QImage file(QDir(dir).filePath(QStringLiteral("%1x%1/apps/nimbrel.png").arg(size)));
        ASSERT_FALSE(file.isNull()) << size;
        EXPECT_EQ(file.size(), QSize(size, size));
        EXPECT_EQ(file.convertToFormat(QImage::Format_ARGB32),
                  view::drawAppIcon(size).toImage().convertToFormat(QImage::Format_ARGB32))
            << size;
    }
}

TEST(AppIcon, ReportsADirectoryItCannotWriteTo)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    // A plain file where the directory should go.
    QFile blocker(temp.filePath(QStringLiteral("taken")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_FALSE(program::writeIconFiles(blocker.fileName()));
}

TEST(AppIcon, SizesLeftMissingEmptyOrBrokenAreMadeAnewAndSoundOnesStay)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString dir = temp.filePath(QStringLiteral("icons/hicolor"));
    ASSERT_TRUE(program::writeIconFiles(dir));
    const auto file = [&](int size) { return QDir(dir).filePath(QStringLiteral("%1x%1/apps/nimbrel.png").arg(size)); };
    const auto inode = [&](int size) {
        struct stat info {};
        return ::stat(QFile::encodeName(file(size)).constData(), &info) == 0 ? info.st_ino : 0;
    };
    const ino_t soundBefore = inode(16);

    // What a start killed while it wrote the icons could leave.
    ASSERT_TRUE(QFile::remove(file(48)));
    QFile empty(file(22));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    QFile broken(file(64));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write(QByteArray::fromRawData("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    broken.close();
    ASSERT_TRUE(view::drawAppIcon(16).save(file(128), "PNG"));
    QFile cut(file(256));
    ASSERT_TRUE(cut.resize(cut.size() / 2));

    ASSERT_TRUE(program::repairIconFiles(dir));
    for (const int size : program::themeIconSizes) {
        const QImage icon(file(size));
        EXPECT_EQ(icon.convertToFormat(QImage::Format_ARGB32),
                  view::drawAppIcon(size).toImage().convertToFormat(QImage::Format_ARGB32))
            << size;
    }
    EXPECT_EQ(inode(16), soundBefore) << "a sound size is left as it is";
    EXPECT_EQ(QDir(QDir(dir).filePath(QStringLiteral("48x48/apps"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("nimbrel.png")});
}

// ---- The icon, offscreen ------------------------------------------------

class QtTrayIconTest : public ::testing::Test {
protected:
    QtTrayIconTest()
    {
        tray.onNotification = [this](int code) { codes.push_back(code); };
    }

    // What Qt reports for a click on the icon.
    void userActivates(QSystemTrayIcon::ActivationReason reason) { Q_EMIT tray.icon().activated(reason); }

    bool codesArrive(std::size_t count)
    {
        return eventually([&] { return codes.size() >= count; });
    }

    view::QtTrayIcon tray;
    std::vector<int> codes;
};

TEST_F(QtTrayIconTest, IsAddedWithItsTooltipChangedAndRemoved)
{
    EXPECT_FALSE(tray.icon().isVisible());

    tray.add("Nimbrel");
    EXPECT_TRUE(tray.icon().isVisible());
    EXPECT_EQ(tray.icon().toolTip(), "Nimbrel");

    tray.modify("Nimbrel - 123 MB free");
    EXPECT_EQ(tray.icon().toolTip(), "Nimbrel - 123 MB free");
    EXPECT_TRUE(tray.icon().isVisible());

    tray.remove();
    EXPECT_FALSE(tray.icon().isVisible());
}

TEST_F(QtTrayIconTest, ShowsTheProgramsIconOnceAdded)
{
    tray.add("Nimbrel");
    for (const int size : {16, 22, 24}) {
        EXPECT_EQ(tray.icon().icon().pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                  view::drawAppIcon(size).toImage().convertToFormat(QImage::Format_ARGB32))
            << size;
    }
}

TEST_F(QtTrayIconTest, ShowsThePictureItWasGiven)
{
    QPixmap red(16, 16);
    red.fill(Qt::red);
    view::QtTrayIcon other{QIcon(red)};
    other.add("Nimbrel");
    EXPECT_EQ(other.icon().icon().pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::red));
}

TEST_F(QtTrayIconTest, ATooltipOfAccentedTextShowsAsWritten)
{
    tray.add("Nimbrel \xE2\x80\x93 m\xC3\xA9moire");
    EXPECT_EQ(tray.icon().toolTip(), QStringLiteral(u"Nimbrel \u2013 m\u00E9moire"));
}

TEST_F(QtTrayIconTest, ADoubleClickAndARightClickReachTheFormAsTheirCodes)
{
    userActivates(QSystemTrayIcon::DoubleClick);
    userActivates(QSystemTrayIcon::Context);

    ASSERT_TRUE(codesArrive(2));
    EXPECT_EQ(codes, (std::vector<int>{0x203, 0x205}));
}

TEST_F(QtTrayIconTest, ADoubleClickAsX11ReportsItIsOneDoubleClick)
{
    // The first press of a double-click comes as a single click.
    userActivates(QSystemTrayIcon::Trigger);
    userActivates(QSystemTrayIcon::DoubleClick);

    ASSERT_TRUE(codesArrive(1));
    QCoreApplication::processEvents();
    EXPECT_EQ(codes, std::vector<int>{0x203});
}

TEST_F(QtTrayIconTest, SingleAndMiddleClicksMeanNothing)
{
    userActivates(QSystemTrayIcon::Trigger);
    userActivates(QSystemTrayIcon::MiddleClick);
    userActivates(QSystemTrayIcon::Unknown);
    // Clicks are passed on in order: once the right click is through, the others were dropped.
    userActivates(QSystemTrayIcon::Context);

    ASSERT_TRUE(codesArrive(1));
    EXPECT_EQ(codes, std::vector<int>{0x205});
}

TEST_F(QtTrayIconTest, OnAStatusNotifierTrayALeftClickCountsAsTheDoubleClick)
{
    tray.setSingleClickActivates(true);
    userActivates(QSystemTrayIcon::Trigger);

    ASSERT_TRUE(codesArrive(1));
    EXPECT_EQ(codes, std::vector<int>{0x203});
}

TEST(StatusNotifierTray, IsTheTrayOnceItsWatcherIsOnTheBus)
{
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address")});
    if (!daemon.waitForStarted()) GTEST_SKIP() << "dbus-daemon is not installed: apt-get install dbus-daemon";
    ASSERT_TRUE(daemon.waitForReadyRead(10'000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        const QDBusConnection asker = QDBusConnection::connectToBus(address, QStringLiteral("asker"));
        QDBusConnection tray = QDBusConnection::connectToBus(address, QStringLiteral("tray"));
        EXPECT_FALSE(view::statusNotifierTray(asker)) << "a bus without a watcher: an XEmbed tray or none";
        ASSERT_TRUE(tray.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));
        EXPECT_TRUE(view::statusNotifierTray(asker));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("asker"));
    QDBusConnection::disconnectFromBus(QStringLiteral("tray"));
    daemon.terminate();
    daemon.waitForFinished();
}

TEST_F(QtTrayIconTest, AClickIsPassedOnOnlyOnceItsDeliveryIsOver)
{
    userActivates(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(codes.empty());
    ASSERT_TRUE(codesArrive(1));
}

TEST_F(QtTrayIconTest, ClicksWithNobodyListeningAreDropped)
{
    tray.onNotification = nullptr;
    userActivates(QSystemTrayIcon::DoubleClick);
    QCoreApplication::processEvents();
    EXPECT_TRUE(codes.empty());
}

TEST_F(QtTrayIconTest, AFailureInTheFormDoesNotEscapeTheClick)
{
    bool reached = false;
    tray.onNotification = [&](int) {
        reached = true;
        throw std::runtime_error("from the form");
    };
    userActivates(QSystemTrayIcon::Context);
    EXPECT_TRUE(eventually([&] { return reached; }));
}

class TrayMenuPopUpTest : public QtTrayIconTest {
protected:
    TrayMenuPopUpTest()
    {
        show = file->addAction(QStringLiteral("Display Nimbrel"));
        file->addSeparator();
        file->addAction(QStringLiteral("E&xit"));
        QObject::connect(show, &QAction::triggered, [this] { chosen = true; });
        tray.setFileMenu(file.get());
    }

    // Runs what to do once the menu is up, from inside popUpMenu.
    void whileOpen(std::function<void()> action)
    {
        auto* poll = new QTimer(file.get());
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, action] {
            if (!file->isVisible()) return;
            poll->deleteLater();
            action();
        });
        poll->start(10);
    }

    std::unique_ptr<QMenu> file = std::make_unique<QMenu>(QStringLiteral("&File"));
    QAction* show = nullptr;
    bool chosen = false;
};

TEST_F(TrayMenuPopUpTest, PopsUpTheFileMenuAtTheMousePointerAndReturnsWhenAnEntryIsChosen)
{
    QCursor::setPos(200, 150);
    QPoint where;
    whileOpen([&] {
        where = file->pos();
        show->trigger();
        file->close();
    });

    tray.popUpMenu();

    EXPECT_EQ(where, QPoint(200, 150));
    EXPECT_TRUE(chosen);
    EXPECT_FALSE(file->isVisible());
}

TEST_F(TrayMenuPopUpTest, ReturnsWhenTheMenuIsClosedWithoutAChoice)
{
    bool wasOpen = false;
    whileOpen([&] {
        wasOpen = true;
        file->close();
    });

    tray.popUpMenu();

    EXPECT_TRUE(wasOpen);
    EXPECT_FALSE(chosen);
    EXPECT_FALSE(file->isVisible());
}

TEST_F(TrayMenuPopUpTest, ShowsNothingWithoutAMenu)
{
    view::QtTrayIcon bare;
    bare.popUpMenu();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(TrayMenuPopUpTest, ShowsNothingOnceTheMenuIsGone)
{
    file.reset();
    tray.popUpMenu();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(TrayMenuPopUpTest, ARightClickPopsUpTheMenuTheFormAsksFor)
{
    // As the form does with the window hidden: a right click asks for the menu.
    tray.onNotification = [this](int code) {
        codes.push_back(code);
        if (code == 0x205) tray.popUpMenu();
    };
    bool wasOpen = false;
    whileOpen([&] {
        wasOpen = true;
        file->close();
    });

    userActivates(QSystemTrayIcon::Context);

    ASSERT_TRUE(eventually([&] { return wasOpen && !file->isVisible(); }));
    EXPECT_EQ(codes, std::vector<int>{0x205});
}

// ---- The icon in a real tray ---------------------------------------------
//
// The test program's Qt runs offscreen, so this test starts Xvfb and runs
// itself again on that display with Qt's xcb platform; the second run, told
// by NIMBREL_TRAY_TEST_DISPLAY, starts trayer, docks the icon and clicks it
// with xdotool as a user would.

const char* const x11DisplayVariable = "NIMBREL_TRAY_TEST_DISPLAY";

// One window of `xwininfo -root -tree`.
struct XWindow {
    int depth;
    QString line;
    QRect onScreen;
};

std::vector<XWindow> windowTree()
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    if (!xwininfo.waitForFinished(30000)) return {};
    static const QRegularExpression window(
        QStringLiteral(R"(^(\s*)0x[0-9a-fA-F]+ .*\s(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$)"));
    std::vector<XWindow> windows;
    for (const QString& line : QString::fromLocal8Bit(xwininfo.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = window.match(line);
        if (!m.hasMatch()) continue;
        windows.push_back(
            {static_cast<int>(m.capturedLength(1)), line.trimmed(),
             QRect(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(2).toInt(), m.captured(3).toInt())});
    }
    return windows;
}

// Where a window of this program sits inside trayer's panel, if one does.
std::optional<QRect> dockedIcon()
{
    const QString ours = QStringLiteral("\"%1\"").arg(QCoreApplication::applicationName());
    const std::vector<XWindow> windows = windowTree();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (!windows[i].line.contains(QStringLiteral("\"trayer\")"))) continue;
        for (std::size_t j = i + 1; j < windows.size() && windows[j].depth > windows[i].depth; ++j) {
            if (windows[j].line.contains(ours)) return windows[j].onScreen;
        }
    }
    return std::nullopt;
}

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QStringList at(QPoint point)
{
    return {QString::number(point.x()), QString::number(point.y())};
}

TEST(TrayIconOnX11, DocksInTrayerAndPassesOnDoubleAndRightClicks)
{
    const bool secondRun = !qEnvironmentVariableIsEmpty(x11DisplayVariable);
    if (!secondRun) {
        for (const char* tool : {"Xvfb", "trayer", "xdotool", "xwininfo"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                GTEST_SKIP() << tool << " is not installed: apt-get install xvfb trayer xdotool x11-utils";
            }
        }
        // A display of its own: Xvfb picks a free number and writes it to its output.
        QProcess xvfb;
        xvfb.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        ASSERT_TRUE(xvfb.waitForStarted(30000));
        QByteArray number;
        const QDeadlineTimer deadline(30s);
        while (!number.contains('\n') && !deadline.hasExpired() && xvfb.state() == QProcess::Running) {
            xvfb.waitForReadyRead(100);
            number += xvfb.readAllStandardOutput();
        }
        ASSERT_TRUE(number.contains('\n')) << "Xvfb did not start: " << xvfb.readAllStandardError().toStdString();
        const QString display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

        QProcess again;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(x11DisplayVariable), display);
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // The XEmbed tray, not a StatusNotifier host on a session bus.
        environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        // Looking for that bus, Qt's xcb platform has libdbus keep a buffer
        // to the end; under LeakSanitizer that would fail the run.
        const QString lsan = environment.value(QStringLiteral("LSAN_OPTIONS"));
        environment.insert(QStringLiteral("LSAN_OPTIONS"),
                           (lsan.isEmpty() ? QString() : lsan + QLatin1Char(':')) +
                               QStringLiteral("suppressions=" NIMBREL_LSAN_SUPPRESSIONS));
        again.setProcessEnvironment(environment);
        again.setProcessChannelMode(QProcess::MergedChannels);
        again.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=TrayIconOnX11.DocksInTrayerAndPassesOnDoubleAndRightClicks")});
        const bool finished = again.waitForFinished(300000);
        if (!finished) again.kill();
        again.waitForFinished(30000);
        const std::string output = again.readAll().toStdString();
        xvfb.kill();
        xvfb.waitForFinished(30000);

        ASSERT_TRUE(finished) << "the run on " << display.toStdString() << " did not end:\n" << output;
        EXPECT_EQ(again.exitStatus(), QProcess::NormalExit) << output;
        EXPECT_EQ(again.exitCode(), 0) << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
        return;
    }

    // The second run, on Xvfb, before any tray: the icon waits for one.
    view::QtTrayIcon tray;
    std::vector<int> codes;
    QMenu file(QStringLiteral("&File"));
    bool chosen = false;
    QObject::connect(file.addAction(QStringLiteral("Free Up RAM Now")), &QAction::triggered, [&] { chosen = true; });
    file.addAction(QStringLiteral("Display Nimbrel"));
    tray.setFileMenu(&file);
    bool menuWasOpen = false;
    tray.onNotification = [&](int code) {
        codes.push_back(code);
        // As the form does with its window hidden.
        if (code == 0x205) tray.popUpMenu();
    };
    tray.add("Nimbrel");
    EXPECT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());

    QProcess trayer;
    trayer.start(QStringLiteral("trayer"),
                 {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                  QStringLiteral("--widthtype"), QStringLiteral("request")});
    ASSERT_TRUE(trayer.waitForStarted(30000));
    const auto stopTrayer = std::unique_ptr<QProcess, void (*)(QProcess*)>(&trayer, [](QProcess* p) {
        p->kill();
        p->waitForFinished(30000);
    });

    ASSERT_TRUE(eventually([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 60s));
    std::optional<QRect> docked;
    ASSERT_TRUE(eventually([&] { return (docked = dockedIcon()).has_value() && !docked->isEmpty(); }, 60s))
        << "the icon never appeared in trayer's panel";
    // Once the panel has placed it, Qt knows where it is too.
    EXPECT_TRUE(eventually([&] { return (docked = dockedIcon()) && tray.icon().geometry() == *docked; }, 60s));
    ASSERT_TRUE(docked.has_value());
    const QPoint icon = docked->center();

    // A single click and a middle click do nothing; a right click pops up
    // the menu, whose release chooses nothing, and a click elsewhere closes it.
    QTimer whileOpen;
    QObject::connect(&whileOpen, &QTimer::timeout, [&] {
        if (!file.isVisible() || menuWasOpen) return;
        menuWasOpen = true;
        xdotool(QStringList{QStringLiteral("mousemove"), QStringLiteral("--sync")} + at(QPoint(100, 600)) +
                QStringList{QStringLiteral("click"), QStringLiteral("1")});
    });
    whileOpen.start(50);
    ASSERT_TRUE(xdotool(QStringList{QStringLiteral("mousemove"), QStringLiteral("--sync")} + at(icon) +
                        QStringList{QStringLiteral("click"), QStringLiteral("1")}));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("2")}));
    ASSERT_TRUE(xdotool({QStringLiteral("click"), QStringLiteral("3")}));
    ASSERT_TRUE(eventually([&] { return menuWasOpen && !file.isVisible(); }, 60s))
        << "the menu did not open, or a click elsewhere did not close it";
    EXPECT_FALSE(chosen);
    EXPECT_EQ(codes, std::vector<int>{0x205});

    // A double-click: Qt reports a single click, then the double-click.
    ASSERT_TRUE(xdotool(QStringList{QStringLiteral("mousemove"), QStringLiteral("--sync")} + at(icon) +
                        QStringList{QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                                    QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")}));
    ASSERT_TRUE(eventually([&] { return codes.size() >= 2; }, 60s));
    QCoreApplication::processEvents();
    EXPECT_EQ(codes, (std::vector<int>{0x205, 0x203}));

    tray.remove();
    EXPECT_TRUE(eventually([] { return !dockedIcon().has_value(); }, 60s)) << "the icon stayed in the panel";
}

} // namespace
} // namespace nimbrel::testing
