#pragma once

#include "app/ControlLayout.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace nimbrel::win32::testing {

// A twips length in pixels at the given dots an inch, rounded to the nearest.
inline int px(int twips, UINT dpi) { return (twips * static_cast<int>(dpi) + 720) / 1440; }

// Where a child window sits in its parent's client area, in pixels.
inline RECT placeInParent(HWND control)
{
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The control's top-left corner stands where the layout puts it, at its window's dots an inch.
inline void expectTopLeftAt(HWND control, const TwipsRect& place)
{
    const UINT dpi = GetDpiForWindow(control);
    const RECT shown = placeInParent(control);
    EXPECT_EQ(shown.left, px(place.left, dpi));
    EXPECT_EQ(shown.top, px(place.top, dpi));
}

} // namespace nimbrel::win32::testing
