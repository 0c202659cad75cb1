#pragma once

#include "core/base/Colour.h"

#include <vector>

namespace nimbrel {

// A picture in pixels, rows from the top, each pixel a colour in the 0x00BBGGRR form.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Picture() = default;
    Picture(int w, int h, Colour fill = colours::black)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill)
    {
    }
    bool empty() const { return width <= 0 || height <= 0; }
    Colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Colour& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    friend bool operator==(const Picture&, const Picture&) = default;
};

} // namespace nimbrel
