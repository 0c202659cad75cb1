// The "AutoUpdate" window as the user sees it, over the dialog's model with
// a server that has nothing new.

#include "support/UpdateHarness.h"
#include "ui/qt/AutoUpdateWindow.h"
#include "UiTestSupport.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace nimbrel::testing {
namespace {

using view::AutoUpdateWindow;

const std::string vendorServer = "http://127.0.0.1:8765";

class AutoUpdateWindowTest : public ::testing::Test, protected UpdateHarness {
protected:
    AutoUpdateWindowTest() : UpdateHarness(vendorServer)
    {
        registry.createKey(UpdateServer::programKey);
        registry.setValue(UpdateServer::programKey, "ver", "6");
        transfer.serve(server + "/nbl.txt", "6");
    }
    template <typename W> W& child(const char* name) { return *window.findChild<W*>(QString::fromLatin1(name)); }

    AutoUpdateWindow window{dialog};
};

TEST_F(AutoUpdateWindowTest, CheckForUpgradeShowsTheWindowWithItsControls)
{
    EXPECT_FALSE(window.isVisible());
    dialog.Upnbl_Click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.windowTitle(), "AutoUpdate");
    EXPECT_TRUE(child<QLabel>("Label1").text().startsWith("AutoUpdate checks the Internet"));
    EXPECT_EQ(child<QPushButton>("cmdProceed").text(), "Proceed");
    EXPECT_EQ(child<QPushButton>("cmdCancel").text(), "Cancel");
    EXPECT_TRUE(child<QStatusBar>("StatusBar1").currentMessage().isEmpty());
}

// The middles of the two windows' frames agree, to the frame's few pixels a window shown once keeps.
::testing::AssertionResult centredOn(const QWidget& window, const QWidget& owner)
{
    const QPoint apart = window.frameGeometry().center() - owner.frameGeometry().center();
    if (std::abs(apart.x()) <= 3 && std::abs(apart.y()) <= 3) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the middles are " << apart.x() << ", " << apart.y() << " apart";
}

TEST_F(AutoUpdateWindowTest, ItOpensOverTheMiddleOfTheMainWindowAndOffersNoMaximise)
{
    QMainWindow main;
    main.setGeometry(300, 150, 400, 300);
    main.show();
    dialog.Upnbl_Click();
    EXPECT_TRUE(centredOn(window, main));
    // Only the buttons asked for: a close box, and no Maximise.
    EXPECT_TRUE(window.windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    // Moved away, closed, and opened again: over the main window once more.
    window.move(0, 0);
    window.close();
    dialog.Upnbl_Click();
    EXPECT_TRUE(centredOn(window, main));
}

TEST_F(AutoUpdateWindowTest, ProceedFillsTheStatusListWithItsImages)
{
    dialog.Upnbl_Click();
    click(child<QPushButton>("cmdProceed"));
    QTreeWidget& list = child<QTreeWidget>("ListView1");
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "Checking for updates...");
    EXPECT_EQ(list.topLevelItem(1)->text(0), "No new update available.");
    const QImage good = list.topLevelItem(0)->icon(0).pixmap(16).toImage();
    const QImage bad = list.topLevelItem(1)->icon(0).pixmap(16).toImage();
    EXPECT_GT(pixelsNear(good, QColor(0x2e, 0x8b, 0x57)), 60);
    EXPECT_GT(pixelsNear(bad, QColor(0xc0, 0x39, 0x2b)), 60);
}

TEST_F(AutoUpdateWindowTest, TheCloseBoxClosesLikeCancelAndTheNextCheckStartsAfresh)
{
    dialog.Upnbl_Click();
    click(child<QPushButton>("cmdProceed"));
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(dialog.frmAutoUpdate.shown());
    dialog.Upnbl_Click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(child<QTreeWidget>("ListView1").topLevelItemCount(), 0);
    click(child<QPushButton>("cmdCancel"));
    EXPECT_FALSE(window.isVisible());
}

// Past the point of no return the window's Cancel is greyed, and its last line says the new version is being
// installed.
TEST_F(AutoUpdateWindowTest, PastThePointOfNoReturnCancelIsGreyedAndTheLineSaysSo)
{
    std::string program = "\x7f" "ELF";
    program.resize(200000, 'x');
    transfer.serve(server + "/nbl.txt", "7");
    transfer.serve(server + "/nblupdate.exe", program);
    transfer.serve(server + "/nblupdate.exe.minisig",
                   FakePackageTrust::signature("Nimbrel 7, file:nblupdate.exe", program));
    dialog.Upnbl_Click();
    EXPECT_TRUE(child<QPushButton>("cmdCancel").isEnabled());
    click(child<QPushButton>("cmdProceed"));

    EXPECT_EQ(handOver.started.size(), 1u) << "the new version was handed over to";
    EXPECT_FALSE(child<QPushButton>("cmdCancel").isEnabled());
    QTreeWidget& list = child<QTreeWidget>("ListView1");
    ASSERT_GT(list.topLevelItemCount(), 0);
    EXPECT_EQ(list.topLevelItem(list.topLevelItemCount() - 1)->text(0),
              "The new version is being installed: it can no longer be cancelled.");
}

TEST_F(AutoUpdateWindowTest, EscapeClosesTheWindowLikeCancel)
{
    dialog.Upnbl_Click();
    ASSERT_TRUE(window.isVisible());
    // Pressed where the keyboard is, on the status list: the list has no use for it and hands it on.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&child<QTreeWidget>("ListView1"), &escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(dialog.frmAutoUpdate.shown());
}

} // namespace
} // namespace nimbrel::testing
