#pragma once

#include "app/ControlLayout.h"

#include <QRect>

namespace nimbrel::view {

// The window's layout is written in twips. At the classic 96 dots an inch a
// pixel is 15 twips; Qt's device-independent pixels scale that up on screens
// with more dots, so nothing here looks at the device pixel ratio.
constexpr int twipsPerPixel = 15;

constexpr int px(int twips)
{
    return (twips + twipsPerPixel / 2) / twipsPerPixel;
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
