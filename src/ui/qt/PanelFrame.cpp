#include "ui/qt/PanelFrame.h"

#include "ui/qt/Theme.h"

#include <QPainter>

namespace nimbrel::view {

namespace {
constexpr int edgeTop = 8; // the caption stands across the top edge
const QColor edge{0xC3, 0xCB, 0xD6};
} // namespace

PanelFrame::PanelFrame(QWidget* parent) : QGroupBox(parent) {}

void PanelFrame::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(theme::panel);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, edgeTop + 0.5, -0.5, -0.5), 6, 6);

    QString caption = title();
    caption.remove(QLatin1Char('&'));
    if (caption.isEmpty()) return;
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const QRect place(10, edgeTop - metrics.height() / 2, metrics.horizontalAdvance(caption) + 8, metrics.height());
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(place, 3, 3);
    painter.setFont(bold);
    painter.setPen(theme::column);
    painter.drawText(place, Qt::AlignCenter, caption);
}

} // namespace nimbrel::view
