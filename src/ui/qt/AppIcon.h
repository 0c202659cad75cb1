#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

#include <array>

class QGuiApplication;

namespace nimbrel::view {

// The sizes the icon is drawn at: the notification area's (16, 22, 24) and
// the window's, the task switcher's and the desktop's (32 to 128).
inline constexpr std::array<int, 7> appIconSizes{16, 22, 24, 32, 48, 64, 128};

// The program's icon at one size: a memory chip in the program's blue with a
// dark outline and pins, a white arrow on it. Each size is drawn on its own
// pixel grid, so the small ones stay sharp.
QPixmap drawAppIcon(int size);

// The icon with a pixmap for each of appIconSizes.
QIcon appIcon();

// Makes the icon every window of the application shows.
void installAppIcon(QGuiApplication& app);

} // namespace nimbrel::view
