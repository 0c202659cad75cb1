#include "ui/qt/QtTrayIcon.h"

#include "tray/TrayMenu.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/TrayGaugeIcon.h"
#include "ui/qt/StatusNotifierTray.h"

#include <QCursor>
#include <QDBusConnection>
#include <QMenu>

namespace nimbrel::view {

namespace {

// What each click on the icon means to the form. A double-click arrives as
// Trigger for its first press and DoubleClick for its second; a right click
// arrives as Context when the button goes down.
int notificationCode(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick: return TrayMenu::leftDoubleClick;
    case QSystemTrayIcon::Context: return TrayMenu::rightButtonUp;
    default: return 0; // a single left click and the middle button do nothing
    }
}

} // namespace

QtTrayIcon::QtTrayIcon(const QIcon& picture, QObject* parent)
    : QObject(parent), picture_(picture), singleClickActivates_(statusNotifierTray(QDBusConnection::sessionBus()))
{
    // Queued: what the form does with a click may pop up a modal menu or
    // remove the icon, and the icon's window must not be taken away while it
    // is still delivering the click.
    connect(&icon_, &QSystemTrayIcon::activated, this, &QtTrayIcon::notify, Qt::QueuedConnection);
}

void QtTrayIcon::add(const std::string& toolTip)
{
    if (icon_.icon().isNull()) icon_.setIcon(picture_);
    icon_.setToolTip(qs(toolTip));
    // With no notification area the icon simply does not show; Qt docks it
    // once a tray appears on the screen.
    icon_.show();
}

void QtTrayIcon::modify(const std::string& toolTip) { icon_.setToolTip(qs(toolTip)); }

void QtTrayIcon::remove() { icon_.hide(); }

void QtTrayIcon::showMessage(const std::string& title, const std::string& text)
{
    // A notification on desktops with a notification service, Qt's balloon over the icon elsewhere.
    icon_.showMessage(qs(title), qs(text), QSystemTrayIcon::Information, 10'000);
}

void QtTrayIcon::showGauge(std::optional<int> percent)
{
    icon_.setIcon(percent ? trayGaugeIcon(*percent) : picture_);
}
bool QtTrayIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void QtTrayIcon::setFileMenu(QMenu* menu) { fileMenu_ = menu; }

void QtTrayIcon::popUpMenu()
{
    if (fileMenu_.isNull() || fileMenu_->isVisible()) return;
    // The pop-up takes the pointer and the keyboard while it is open, so a
    // click anywhere else closes it without a window of ours being active.
    fileMenu_->exec(QCursor::pos());
}

void QtTrayIcon::notify(QSystemTrayIcon::ActivationReason reason)
{
    const bool activates = reason == QSystemTrayIcon::Trigger && singleClickActivates_;
    const int code = activates ? TrayMenu::leftDoubleClick : notificationCode(reason);
    if (code == 0 || !onNotification) return;
    runUserAction([&] { onNotification(code); });
}

} // namespace nimbrel::view
