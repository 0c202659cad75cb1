#include "ui/qt/SurfaceWidget.h"

#include "core/DrawingSurface.h"
#include "ui/qt/Bindings.h"

#include <QPainter>
#include <QPointer>

namespace nimbrel::view {

SurfaceWidget::SurfaceWidget(DrawingSurface& surface, QWidget* parent) : QWidget(parent), surface_(surface)
{
    // Every pixel of the widget is painted from the raster.
    setAttribute(Qt::WA_OpaquePaintEvent);
    surfaceChanged();
    QPointer<SurfaceWidget> guarded(this);
    surface_.changed.connect([guarded] {
        if (guarded) guarded->surfaceChanged();
    });
}

QSize SurfaceWidget::sizeHint() const
{
    return QSize(surface_.pixelWidth(), surface_.pixelHeight());
}

void SurfaceWidget::surfaceChanged()
{
    stale_ = true;
    update(); // Qt merges the requests of one drawing into one paint
    if (surface_.toolTip() != shownToolTip_) {
        shownToolTip_ = surface_.toolTip();
        setToolTip(qs(shownToolTip_));
    }
}

void SurfaceWidget::convertRaster()
{
    const Picture& raster = surface_.image();
    if (image_.width() != raster.width || image_.height() != raster.height) {
        image_ = QImage(raster.width, raster.height, QImage::Format_RGB32);
    }
    for (int y = 0; y < raster.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        const Colour* source = &raster.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width)];
        for (int x = 0; x < raster.width; ++x)
            line[x] = qRgb(red(source[x]), green(source[x]), blue(source[x]));
    }
    stale_ = false;
}

void SurfaceWidget::paintEvent(QPaintEvent* /*event*/)
{
    if (stale_) convertRaster();
    QPainter painter(this);
    // Nearest pixel, never a blend: a one-pixel line stays one sharp line.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (image_.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    painter.drawImage(rect(), image_);
}

} // namespace nimbrel::view
