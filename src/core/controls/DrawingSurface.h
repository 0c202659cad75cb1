#pragma once

#include "core/base/Colour.h"
#include "core/base/Picture.h"
#include "core/base/Signal.h"

#include <functional>
#include <memory>
#include <string>

namespace nimbrel {

// A surface the program draws on: a raster of pixels behind a coordinate
// scale (1 unit a pixel, or 15 twips a pixel), with a background colour and
// an optional background picture drawn from the top-left corner. The view
// only copies the raster to the screen.
//
// A surface redrawn again and again keeps its drawing (setDrawing) and is
// told when what it shows has changed (redraw); the drawing runs when the
// pixels are next looked at, by the view painting them or anyone reading
// them. A surface nobody sees, its window hidden in the tray or its panel
// not chosen, costs nothing however often it changes.
class DrawingSurface {
public:
    static constexpr int twipsPerPixel = 15;

    // Width and height in pixels; unitsPerPixel is 1 for a pixel scale, 15 for twips.
    DrawingSurface(int widthPx, int heightPx, Colour backColour, int unitsPerPixel = 1);

    int pixelWidth() const { return raster_.width; }
    int pixelHeight() const { return raster_.height; }
    // The size in the surface's own units.
    int scaleWidth() const { return raster_.width * unitsPerPixel_; }
    int scaleHeight() const { return raster_.height * unitsPerPixel_; }

    // A one-pixel line in the surface's units; like the system's line
    // primitive it leaves out the end point. Whatever lies outside is clipped.
    void line(int x1, int y1, int x2, int y2, Colour colour);
    // Clears to the background colour and draws the background picture over it.
    void clear();
    // Keeps only the part of the picture the surface shows.
    void setBackground(Picture picture);
    // The other surface's background picture, shared rather than copied.
    void shareBackground(const DrawingSurface& other);
    void clearBackground();
    const Picture& background() const { return *background_; }
    bool hasBackground() const { return !background_->empty(); }

    // The drawing that makes the whole picture, run at the first look after each redraw() and not before.
    void setDrawing(std::function<void(DrawingSurface&)> drawing);
    void redraw();

    // The pixels as they are now, drawn first if the picture is out of date.
    const Picture& image();
    Colour pixel(int x, int y) { return image().at(x, y); }

    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(const std::string& text);

    Signal<> changed; // pixels or tooltip changed; the view repaints

private:
    void plot(int x, int y, Colour colour);
    void drawn();

    std::function<void(DrawingSurface&)> drawing_;
    bool outOfDate_ = false;
    bool drawingNow_ = false;

    Picture raster_;
    std::shared_ptr<const Picture> background_ = std::make_shared<const Picture>();
    Colour backColour_;
    int unitsPerPixel_;
    std::string toolTip_;
};

} // namespace nimbrel
