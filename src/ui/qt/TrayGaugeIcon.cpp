#include "ui/qt/TrayGaugeIcon.h"

#include "ui/qt/AppIcon.h"

#include <QPainter>

#include <algorithm>

namespace nimbrel::view {

namespace {

const QColor lowColour(214, 39, 40);
const QColor fineColour(44, 160, 44);
const QColor frameColour(20, 20, 20);
const QColor emptyColour(235, 235, 235);

} // namespace

QImage trayGaugeImage(int percent, int size)
{
    percent = std::clamp(percent, 0, 100);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // The chip keeps the left part; the bar takes a fifth of the width, at least three pixels with its frame.
    const int barWidth = std::max(3, size / 5 + 1);
    const QRect chip(0, 0, size - barWidth, size);
    painter.drawPixmap(chip, appIcon().pixmap(size).scaled(chip.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

    const QRect frame(size - barWidth, 0, barWidth, size);
    painter.fillRect(frame, frameColour);
    const QRect inside = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(inside, emptyColour);
    const int filled = (inside.height() * percent + 50) / 100;
    if (filled > 0) {
        painter.fillRect(QRect(inside.left(), inside.bottom() - filled + 1, inside.width(), filled),
                         percent < 20 ? lowColour : fineColour);
    }
    return image;
}

QIcon trayGaugeIcon(int percent)
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 44, 48}) icon.addPixmap(QPixmap::fromImage(trayGaugeImage(percent, size)));
    return icon;
}

} // namespace nimbrel::view
