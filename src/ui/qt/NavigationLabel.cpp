#include "ui/qt/NavigationLabel.h"

#include "ui/qt/Theme.h"

#include <QKeyEvent>
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
    ClickableLabel::paintEvent(event);
}

void NavigationLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        event->accept();
        Q_EMIT clicked();
        break;
    default: ClickableLabel::keyPressEvent(event);
    }
}

} // namespace nimbrel::view
