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

void ControlRouter::drawAccent(const DRAWITEMSTRUCT& item, Colour text, Colour back)
{
    const HDC dc = item.hDC;
    RECT area = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &area, brush(back));
    // A pressed button sinks; the one with the keyboard's focus shows it.
    DrawEdge(dc, &area, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (pressed) OffsetRect(&area, 1, 1);
    wchar_t caption[256] = L"";
    GetWindowTextW(item.hwndItem, caption, 256);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colorRef(text));
    const UINT keys = (item.itemState & ODS_NOACCEL) != 0 ? DT_HIDEPREFIX : 0;
    DrawTextW(dc, caption, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | keys);
    if ((item.itemState & ODS_FOCUS) != 0) {
        InflateRect(&area, -4, -4);
        DrawFocusRect(dc, &area);
    }
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
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const auto accent = accents_.find(item.hwndItem);
        if (accent == accents_.end()) return std::nullopt;
        drawAccent(item, accent->second.first, accent->second.second);
        return TRUE;
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
