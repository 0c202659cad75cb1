#include "ui/qt/SurfaceWidget.h"

#include "core/controls/DrawingSurface.h"
#include "ui/qt/Bindings.h"

#include <QImage>
#include <QPainter>

#include <bit>
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
    update(); // Qt merges the requests of one drawing into one paint
    if (surface_.toolTip() != shownToolTip_) {
        shownToolTip_ = surface_.toolTip();
        setToolTip(qs(shownToolTip_));
    }
}

void SurfaceWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const Picture& raster = surface_.image();
    if (raster.empty()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // The raster's 0x00BBGGRR pixels lie in memory as red, green, blue and
    // an unused byte. The window's own pixels are 0xffRRGGBB: turned into
    // those once, the picture is copied line by line; painted as it is, Qt
    // would blend it through its generic path, on a pool of threads woken
    // for every paint.
    static_assert(std::endian::native == std::endian::little);
    const QImage image(reinterpret_cast<const uchar*>(raster.pixels.data()), raster.width, raster.height,
                       raster.width * static_cast<int>(sizeof(Colour)), QImage::Format_RGBX8888);
    // Nearest pixel, never a blend: a one-pixel line stays one sharp line.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), image.convertToFormat(QImage::Format_RGB32));
}

} // namespace nimbrel::view
