#include "ui/qt/WindowPlacement.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace nimbrel::view {

double fitScale(QSize designedClient, int menuBarHeight, const QRect& available)
{
    if (designedClient.isEmpty() || available.isEmpty()) return 1.0;
    const double across = static_cast<double>(available.width() - frameAllowance.width()) / designedClient.width();
    const double down =
        static_cast<double>(available.height() - frameAllowance.height() - menuBarHeight) / designedClient.height();
    // A screen too small even for a quarter of the window gets the quarter: below that nothing could be read.
    return std::clamp(std::min(across, down), 0.25, 1.0);
}

void centreOn(QWidget& window, const QWidget* owner)
{
    const bool ownerShown = owner && owner->isVisible() && !owner->isMinimized();
    const QScreen* screen = ownerShown ? owner->screen() : window.screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect over = ownerShown ? owner->frameGeometry() : area;
    QRect place(QPoint(), window.frameGeometry().size());
    place.moveCenter(over.center());
    if (!area.isEmpty()) {
        place.moveLeft(std::max(area.left(), std::min(place.left(), area.right() + 1 - place.width())));
        place.moveTop(std::max(area.top(), std::min(place.top(), area.bottom() + 1 - place.height())));
    }
    window.move(place.topLeft());
}

void offerNoMaximise(QWidget& window)
{
    const Qt::WindowFlags type = window.windowFlags() & Qt::WindowType_Mask;
    Qt::WindowFlags frame = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint;
    // A dialog stays with its owner, which is what is minimised.
    if (type != Qt::Dialog) frame |= Qt::WindowMinimizeButtonHint;
    window.setWindowFlags(type | frame);
}

QWidget* shownMainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget) && widget->isVisible()) return widget;
    }
    return nullptr;
}

} // namespace nimbrel::view
