#include "ui/qt/NavigationLabel.h"

#include "ui/qt/Theme.h"

#include <QPainter>

namespace nimbrel::view {

NavigationLabel::NavigationLabel(QWidget* parent) : ClickableLabel(parent)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, theme::column);
    setPalette(palette);
    setIndent(8);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void NavigationLabel::paintEvent(QPaintEvent* event)
{
    if (qGray(palette().color(QPalette::WindowText).rgb()) < 128) {
        QPainter painter(this); // ends before the label paints its text
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme::chip);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 5, 5);
    }
    ClickableLabel::paintEvent(event);
}

} // namespace nimbrel::view
