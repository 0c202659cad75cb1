#pragma once

#include <QWidget>

#include <string>

namespace nimbrel {
class DrawingSurface;
}

namespace nimbrel::view {

// Shows a drawing surface: its raster, pixel for pixel at its own size and
// with square, unblended pixels when the widget or the screen scales it, and
// its tooltip. The program draws a bar or a graph line by line; the widget
// only notes each change and repaints once, when Qt next paints.
class SurfaceWidget : public QWidget {
    Q_OBJECT
public:
    // The surface must outlive the widget.
    explicit SurfaceWidget(DrawingSurface& surface, QWidget* parent = nullptr);

    // The raster's size in pixels.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void surfaceChanged();

    DrawingSurface& surface_;
    std::string shownToolTip_;
};

} // namespace nimbrel::view
