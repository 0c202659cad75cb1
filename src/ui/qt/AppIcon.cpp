#include "ui/qt/AppIcon.h"

#include <QColor>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygon>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace nimbrel::view {

namespace {

const QColor blue(85, 173, 247);
const QColor dark(18, 44, 77);
const QColor white(255, 255, 255);

// Up to this size the icon is drawn pixel by pixel, without antialiasing:
// a softened edge at 16 pixels reads as a blur.
constexpr int largestPixelDrawn = 24;

// Where the parts of the icon go at one size, in whole pixels. The design is
// made on a 16-pixel grid; k is how many pixels one unit of it is. The pins
// have even widths and centres on pixel edges, so they sit symmetrically.
struct Layout {
    explicit Layout(int size) : s(size)
    {
        const double k = size / 16.0;
        pinLength = static_cast<int>(std::lround(2 * k));
        outline = std::max(1, static_cast<int>(k));
        pinWidth = 2 * std::max(1, static_cast<int>(k));
        pinPitch = static_cast<int>(std::lround(4 * k));
        arrowHalf = 2 * static_cast<int>(std::lround(2 * k));
        // Scaled, 22 and 24 pixels would get thin pins with wide gaps between
        // them, which read as spikes; closer pins read as a chip.
        if (size == 22) pinPitch = 5;
        if (size == 24) {
            pins = 4;
            pinPitch = 4;
        }
    }

    QRect body() const { return {pinLength, pinLength, s - 2 * pinLength, s - 2 * pinLength}; }
    int centre() const { return s / 2; }
    // Where pin i starts along its side.
    int pinStart(int i) const { return centre() + (2 * i - (pins - 1)) * pinPitch / 2 - pinWidth / 2; }

    int s;
    int pinLength;
    int outline;
    int pins = 3; // on each side
    int pinWidth;
    int pinPitch;
    int arrowHalf; // half the arrow's width and height
};

// The pins of each side, reaching from the edge of the image under the outline.
void drawPins(QPainter& p, const Layout& l)
{
    const int reach = l.pinLength + l.outline;
    for (int i = 0; i < l.pins; ++i) {
        const int from = l.pinStart(i);
        p.fillRect(QRect(from, 0, l.pinWidth, reach), dark);           // top
        p.fillRect(QRect(from, l.s - reach, l.pinWidth, reach), dark); // bottom
        p.fillRect(QRect(0, from, reach, l.pinWidth), dark);           // left
        p.fillRect(QRect(l.s - reach, from, reach, l.pinWidth), dark); // right
    }
}

// The body with its corners cut off pixel by pixel: one pixel at 16, a
// rounder step of three at 22 and 24.
void drawSmallBody(QPainter& p, const Layout& l)
{
    const QRect body = l.body();
    p.fillRect(body, dark);
    p.fillRect(body.adjusted(l.outline, l.outline, -l.outline, -l.outline), blue);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    const bool rounder = l.s > 16;
    for (const QPoint corner : {body.topLeft(), body.topRight(), body.bottomLeft(), body.bottomRight()}) {
        const int dx = corner.x() == body.left() ? 1 : -1;
        const int dy = corner.y() == body.top() ? 1 : -1;
        p.fillRect(QRect(corner, QSize(1, 1)), Qt::transparent);
        if (rounder) {
            p.fillRect(QRect(corner + QPoint(dx, 0), QSize(1, 1)), Qt::transparent);
            p.fillRect(QRect(corner + QPoint(0, dy), QSize(1, 1)), Qt::transparent);
        }
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (const QPoint corner : {body.topLeft(), body.topRight(), body.bottomLeft(), body.bottomRight()}) {
        const int dx = corner.x() == body.left() ? 1 : -1;
        const int dy = corner.y() == body.top() ? 1 : -1;
        p.fillRect(QRect(corner + QPoint(dx, dy), QSize(1, 1)), dark);
    }
}

void drawLargeBody(QPainter& p, const Layout& l)
{
    const QRectF body = l.body();
    const qreal radius = l.s / 8.0;
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawRoundedRect(body, radius, radius);
    p.setBrush(blue);
    p.drawRoundedRect(body.adjusted(l.outline, l.outline, -l.outline, -l.outline), radius - l.outline,
                      radius - l.outline);
}

// An arrow pointing up, as wide as it is tall, its head a right angle.
// Drawn row by row where antialiasing would blur the 45-degree edges.
void drawSmallArrow(QPainter& p, const Layout& l)
{
    const int c = l.centre();
    const int a = l.arrowHalf;
    for (int row = 0; row < a; ++row)
        p.fillRect(QRect(c - 1 - row, c - a + row, 2 * (row + 1), 1), white);
    p.fillRect(QRect(c - a / 2, c, a, a), white);
}

void drawLargeArrow(QPainter& p, const Layout& l)
{
    const int c = l.centre();
    const int a = l.arrowHalf;
    const QPolygon arrow({QPoint(c, c - a), QPoint(c + a, c), QPoint(c + a / 2, c), QPoint(c + a / 2, c + a),
                          QPoint(c - a / 2, c + a), QPoint(c - a / 2, c), QPoint(c - a, c)});
    p.setPen(Qt::NoPen);
    p.setBrush(white);
    p.drawPolygon(arrow);
}

} // namespace

QPixmap drawAppIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const Layout l(size);
    drawPins(p, l);
    if (size <= largestPixelDrawn) {
        drawSmallBody(p, l);
        drawSmallArrow(p, l);
    } else {
        p.setRenderHint(QPainter::Antialiasing);
        drawLargeBody(p, l);
        drawLargeArrow(p, l);
    }
    return pixmap;
}

QIcon appIcon()
{
    QIcon icon;
    for (const int size : appIconSizes)
        icon.addPixmap(drawAppIcon(size));
    return icon;
}

void installAppIcon(QGuiApplication& app)
{
    app.setWindowIcon(appIcon());
}

} // namespace nimbrel::view
