#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace nimbrel::view {

// What the window manager adds around a window's client area and menu bar (a title bar and borders), which Qt
// learns only once the window is on the screen: room enough for the usual frames.
inline constexpr QSize frameAllowance{16, 48};

// The share of its designed size at which a window of the designed client size, with its menu bar and frame,
// fits the available area; 1 where it fits as designed, never more.
double fitScale(QSize designedClient, int menuBarHeight, const QRect& available);

// Moves a window that is about to be shown over the centre of its owner, or of the screen's available area when
// there is no owner on the screen, keeping it wholly on that area as far as it fits.
void centreOn(QWidget& window, const QWidget* owner);

// A window of fixed size offers no Maximise: its frame has a title, a close box and, unless it is a dialog, a
// minimise box.
void offerNoMaximise(QWidget& window);

// The program's main window, when one is on the screen.
QWidget* shownMainWindow();

} // namespace nimbrel::view
