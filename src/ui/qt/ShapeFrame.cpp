#include "ui/qt/ShapeFrame.h"

#include <QPainter>

namespace nimbrel::view {

ShapeFrame::ShapeFrame(QWidget* parent) : QFrame(parent) {}

void ShapeFrame::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
    painter.setBrush(palette().color(QPalette::Window));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
}

} // namespace nimbrel::view
