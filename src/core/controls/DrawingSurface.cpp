#include "core/controls/DrawingSurface.h"

#include <algorithm>
#include <cstdlib>

namespace nimbrel {

DrawingSurface::DrawingSurface(int widthPx, int heightPx, Colour backColour, int unitsPerPixel)
    : raster_(widthPx, heightPx, backColour), backColour_(backColour), unitsPerPixel_(unitsPerPixel)
{
}

void DrawingSurface::plot(int x, int y, Colour colour)
{
    if (x < 0 || y < 0 || x >= raster_.width || y >= raster_.height) return;
    raster_.at(x, y) = colour;
}

void DrawingSurface::line(int x1, int y1, int x2, int y2, Colour colour)
{
    // Units to pixels, then Bresenham without the end point.
    const int u = unitsPerPixel_;
    int x = x1 / u, y = y1 / u;
    const int xe = x2 / u, ye = y2 / u;
    const int dx = std::abs(xe - x), sx = x < xe ? 1 : -1;
    const int dy = -std::abs(ye - y), sy = y < ye ? 1 : -1;
    int err = dx + dy;
    while (x != xe || y != ye) {
        plot(x, y, colour);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    drawn();
}

void DrawingSurface::clear()
{
    // Each pixel written once: the picture where it lies, the colour around it.
    const Picture& background = *background_;
    const int w = std::min(background.width, raster_.width);
    const int h = std::min(background.height, raster_.height);
    const auto row = [&](int y) { return raster_.pixels.begin() + static_cast<std::ptrdiff_t>(y) * raster_.width; };
    for (int y = 0; y < h; ++y) {
        std::copy_n(background.pixels.begin() + static_cast<std::ptrdiff_t>(y) * background.width, w, row(y));
        std::fill(row(y) + w, row(y + 1), backColour_);
    }
    std::fill(row(h), raster_.pixels.end(), backColour_);
    drawn();
}

void DrawingSurface::drawn()
{
    // The lines of a kept drawing are drawn while the view paints: nothing more to tell it.
    if (!drawingNow_) changed.emit();
}

void DrawingSurface::setDrawing(std::function<void(DrawingSurface&)> drawing) { drawing_ = std::move(drawing); }

void DrawingSurface::redraw()
{
    outOfDate_ = true;
    changed.emit();
}

const Picture& DrawingSurface::image()
{
    if (outOfDate_ && drawing_ && !drawingNow_) {
        outOfDate_ = false;
        drawingNow_ = true;
        struct Done {
            bool& now;
            ~Done() { now = false; }
        } done{drawingNow_};
        drawing_(*this);
    }
    return raster_;
}

void DrawingSurface::setBackground(Picture picture)
{
    if (picture.width > raster_.width || picture.height > raster_.height) {
        Picture shown(std::min(picture.width, raster_.width), std::min(picture.height, raster_.height));
        for (int y = 0; y < shown.height; ++y) {
            std::copy_n(&picture.pixels[static_cast<std::size_t>(y) * picture.width], shown.width,
                        &shown.pixels[static_cast<std::size_t>(y) * shown.width]);
        }
        picture = std::move(shown);
    }
    background_ = std::make_shared<const Picture>(std::move(picture));
    clear();
}

void DrawingSurface::shareBackground(const DrawingSurface& other)
{
    background_ = other.background_;
    clear();
}

void DrawingSurface::clearBackground()
{
    background_ = std::make_shared<const Picture>();
    clear();
}

void DrawingSurface::setToolTip(const std::string& text)
{
    if (text == toolTip_) return;
    toolTip_ = text;
    changed.emit();
}

} // namespace nimbrel
