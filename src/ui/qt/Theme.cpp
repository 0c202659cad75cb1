#include "ui/qt/Theme.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPalette>
#include <QWidget>

#include <algorithm>

namespace nimbrel::view {

QFont tahoma(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void applyWindowColours(QWidget& area)
{
    QPalette palette = area.palette();
    palette.setColor(QPalette::Window, theme::clientArea);
    palette.setColor(QPalette::Button, QColor(0xE6, 0xEA, 0xEF));
    palette.setColor(QPalette::ButtonText, theme::column);
    palette.setColor(QPalette::Highlight, theme::column);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    area.setPalette(palette);
    area.setAutoFillBackground(true);
}

namespace {

bool tooWide(const QLabel& label, const QFont& font)
{
    const int room = label.width() - 2 * std::max(label.indent(), 0) - 2 * label.margin();
    return QFontMetrics(font).horizontalAdvance(label.text()) > room;
}

} // namespace

void shrinkToFit(QLabel& label, qreal minimumPointSize)
{
    QFont font = label.font();
    while (font.pointSizeF() > minimumPointSize && tooWide(label, font)) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label.setFont(font);
}

void shrinkToFitHeight(QLabel& label, const QFont& designed, qreal minimumPointSize)
{
    const QRect room = label.contentsRect();
    const auto tooTall = [&](const QFont& font) {
        const QRect wrapped = QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                                             Qt::TextWordWrap | label.alignment(), label.text());
        return wrapped.height() > room.height();
    };
    QFont font = designed;
    while (font.pointSizeF() > minimumPointSize && tooTall(font)) font.setPointSizeF(font.pointSizeF() - 0.5);
    label.setFont(font);
}

void condenseToFit(QLabel& label)
{
    QFont font = label.font();
    for (int stretch = QFont::Unstretched; stretch > 80 && tooWide(label, font);) {
        stretch -= 5;
        font.setStretch(stretch);
    }
    label.setFont(font);
    shrinkToFit(label);
}

} // namespace nimbrel::view
