#include "ui/qt/StatusNotifierTray.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace nimbrel::view {

bool statusNotifierTray(const QDBusConnection& bus)
{
    if (!bus.isConnected() || bus.interface() == nullptr) return false;
    return bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

} // namespace nimbrel::view
