#pragma once

#include "app/ControlLayout.h"

#include <QRect>

#include <cmath>

namespace nimbrel::view {

// The window's layout is written in twips. At the classic 96 dots an inch a
// pixel is 15 twips; Qt's device-independent pixels scale that up on screens
// with more dots, so nothing here looks at the device pixel ratio.
constexpr int twipsPerPixel = 15;

// The share of its designed size every window of the program is shown at: 1, or less on a screen too small for
// the main window, which decides it before anything is laid out (see WindowPlacement.h). Places and fonts alike
// follow it, so the layout stays the table's.
inline double& layoutScaleSetting()
{
    static double scale = 1.0;
    return scale;
}
inline double layoutScale() { return layoutScaleSetting(); }
inline void setLayoutScale(double scale) { layoutScaleSetting() = scale; }

// Twips to pixels at the layout's scale, halves rounded up.
inline int pixels(double twips)
{
    return static_cast<int>(std::floor(twips * layoutScale() / twipsPerPixel + 0.5));
}

inline int px(int twips)
{
    return pixels(twips);
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

inline QRect twipsRect(const TwipsRect& place)
{
    return twipsRect(place.left, place.top, place.width, place.height);
}

} // namespace nimbrel::view
