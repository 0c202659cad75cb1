#pragma once

#include "core/system/TrayIcon.h"
#include "ui/qt/AppIcon.h"

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>

class QMenu;

namespace nimbrel::view {

// The program's icon in the notification area, through QSystemTrayIcon.
// The File menu is not attached to the icon: the form decides, click by
// click, whether a right click pops it up, so the clicks are handed on as
// the notification codes the form expects, from the event loop once the
// click's own delivery is over.
class QtTrayIcon : public QObject, public TrayIcon {
    Q_OBJECT
public:
    // The picture the icon shows once added.
    explicit QtTrayIcon(const QIcon& picture = appIcon(), QObject* parent = nullptr);

    void add(const std::string& toolTip) override;
    void modify(const std::string& toolTip) override;
    void remove() override;
    void popUpMenu() override;
    void showMessage(const std::string& title, const std::string& text) override;
    void showGauge(std::optional<int> percent) override;
    bool available() override;

    // The menu popUpMenu shows: the main window's File menu. It may go first.
    void setFileMenu(QMenu* menu);

    // Receives 0x203 for a left double-click and 0x205 for a right click;
    // other clicks on the icon are not passed on.
    std::function<void(int)> onNotification;

    // Trays of the D-Bus status-notifier protocol report a left click and
    // never a double-click; there a left click counts as the double-click.
    // Set from the session bus when the icon is made.
    void setSingleClickActivates(bool activates) { singleClickActivates_ = activates; }

    // The icon as the desktop is given it.
    const QSystemTrayIcon& icon() const { return icon_; }
    QSystemTrayIcon& icon() { return icon_; }

public Q_SLOTS:
    // Hands one click on the icon to onNotification.
    void notify(QSystemTrayIcon::ActivationReason reason);

private:
    QIcon picture_;
    QSystemTrayIcon icon_;
    QPointer<QMenu> fileMenu_;
    bool singleClickActivates_;
};

} // namespace nimbrel::view
