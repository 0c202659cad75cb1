#pragma once

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

} // namespace nimbrel::win32::testing
