#include "ui/qt/NavigationLabel.h"

#include "ui/qt/Theme.h"

#include <QPainter>

namespace nimbrel::view {

NavigationLabel::NavigationLabel(QWidget* parent) : ClickableLabel(parent)
{
    setIndent(8);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFocusPolicy(Qt::TabFocus);
}

void NavigationLabel::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this); // ends before the label paints its text
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF inside = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
        painter.setPen(hasFocus() ? QPen(theme::orange, 2) : QPen(Qt::NoPen));
        painter.setBrush(qGray(palette().color(QPalette::WindowText).rgb()) < 128 ? QBrush(theme::chip) : QBrush());
        painter.drawRoundedRect(inside, 5, 5);
    }
    // The orange outline stands for the dotted one of other clickable labels.
    QLabel::paintEvent(event);
}

} // namespace nimbrel::view
