#pragma once

// Where the program shows its controls, in pixels of a form's client area:
// each twips rectangle of the layout is rounded to pixels on its own, 15
// twips to a pixel, and a control inside a frame stands at the frame's place
// plus its own.

#include "app/ControlLayout.h"

#include <string_view>

namespace nimbrel::e2e {

constexpr int px(int twips)
{
    return (twips + 7) / 15;
}

// A point of a client area, in pixels.
struct Spot {
    int x = 0;
    int y = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline PixelRect placeOnForm(std::string_view name, std::string_view form = "frmMain")
{
    const ControlLayout* control = &controlLayout(name, form);
    PixelRect place{px(control->place.left), px(control->place.top), px(control->place.width),
                    px(control->place.height)};
    while (!control->frame.empty() && control->frame != form) {
        control = &controlLayout(control->frame, form);
        place.left += px(control->place.left);
        place.top += px(control->place.top);
    }
    return place;
}

inline Spot centreOf(std::string_view name, std::string_view form = "frmMain")
{
    const PixelRect place = placeOnForm(name, form);
    return {place.left + place.width / 2, place.top + place.height / 2};
}

// A little way into the control from its left, half-way down: on the caption
// of a check box or option button, on the text of a label, on a list's first row.
inline Spot nearTheLeftOf(std::string_view name, int inset, std::string_view form = "frmMain")
{
    const PixelRect place = placeOnForm(name, form);
    return {place.left + inset, place.top + place.height / 2};
}

inline int clientWidth()
{
    return placeOnForm("frmMain").width;
}
inline int clientHeight()
{
    return placeOnForm("frmMain").height;
}

} // namespace nimbrel::e2e
