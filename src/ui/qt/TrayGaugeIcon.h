#pragma once

#include <QIcon>
#include <QImage>

namespace nimbrel::view {

// The tray icon as a gauge: the program's chip with a bar of available memory at its right edge, red under
// 20 % (where the low-memory warning starts), green from there on.
QImage trayGaugeImage(int percent, int size);
// The gauge at the tray's sizes (16, 22, 24) and twice those for high-density screens.
QIcon trayGaugeIcon(int percent);

} // namespace nimbrel::view
