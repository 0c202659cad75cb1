#include "ui/win32/ControlRouter.h"

#include "ui/win32/UserAction.h"

namespace nimbrel::win32 {

ControlRouter::~ControlRouter()
{
    for (const auto& [colour, brush] : brushes_) DeleteObject(brush);
}

void ControlRouter::setTextColour(HWND control, Colour colour)
{
    const auto found = textColours_.find(control);
    if (found != textColours_.end() && found->second == colour) return;
    textColours_[control] = colour;
    InvalidateRect(control, nullptr, TRUE);
}

void ControlRouter::setBackColour(HWND control, Colour colour)
{
    const auto found = backColours_.find(control);
    if (found != backColours_.end() && found->second == colour) return;
    backColours_[control] = colour;
    InvalidateRect(control, nullptr, TRUE);
}

HBRUSH ControlRouter::brush(Colour colour)
{
    HBRUSH& made = brushes_[colour];
    if (made == nullptr) made = CreateSolidBrush(colorRef(colour));
    return made;
}

std::optional<LRESULT> ControlRouter::route(UINT message, WPARAM wParam, LPARAM lParam, Colour containerBack)
{
    const auto control = reinterpret_cast<HWND>(lParam);
    switch (message) {
    case WM_COMMAND: {
        const auto found = commands_.find(control);
        if (control == nullptr || found == commands_.end()) return std::nullopt;
        // The handler may rebuild the window's controls: it runs from a copy.
        const std::function<void(WORD)> handler = found->second;
        runUserAction([&] { handler(HIWORD(wParam)); });
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        const auto text = textColours_.find(control);
        if (text != textColours_.end()) SetTextColor(dc, colorRef(text->second));
        const auto back = backColours_.find(control);
        const Colour behind = back != backColours_.end() ? back->second : containerBack;
        SetBkColor(dc, colorRef(behind));
        return reinterpret_cast<LRESULT>(brush(behind));
    }
    default: return std::nullopt;
    }
}

} // namespace nimbrel::win32
