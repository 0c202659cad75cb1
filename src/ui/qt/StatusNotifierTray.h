#pragma once

class QDBusConnection;

namespace nimbrel::view {

// Whether the desktop's tray speaks the D-Bus status-notifier protocol (KDE
// Plasma, GNOME with the AppIndicator extension): Qt hands the icon to it
// when the protocol's watcher is on the session bus, as this asks the bus.
bool statusNotifierTray(const QDBusConnection& bus);

} // namespace nimbrel::view
