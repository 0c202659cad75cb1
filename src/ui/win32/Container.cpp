#include "ui/win32/Container.h"

#include "platform/windows/WideText.h"

#include <algorithm>
#include <cmath>

namespace nimbrel::win32 {

namespace {

constexpr const wchar_t* className = L"NimbrelContainer";
// A pixel is 15 twips at 96 dots an inch: 1,440 twips an inch.
constexpr int twipsPerInch = 1440;
constexpr Colour panelEdge = rgb(0xC3, 0xCB, 0xD6);

} // namespace

int pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), twipsPerInch); }

int pixels(double twips, UINT dpi) { return static_cast<int>(std::lround(twips * dpi / twipsPerInch)); }

RECT pixelRect(const TwipsRect& place, UINT dpi)
{
    const int left = pixels(place.left, dpi);
    const int top = pixels(place.top, dpi);
    return RECT{left, top, left + pixels(place.width, dpi), top + pixels(place.height, dpi)};
}

Container::Container(HWND parent, Look look, Colour back, ControlRouter& router, std::function<UINT()> dpi)
    : look_(look), back_(back), router_(router), dpi_(std::move(dpi))
{
    registerHandledClass(className);
    // Tab and the arrow keys reach the controls inside; the controls are never painted over.
    window_ = createHandledWindow(*this, className, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  WS_EX_CONTROLPARENT, RECT{}, parent);
}

Container::~Container()
{
    if (IsWindow(window_)) DestroyWindow(window_);
}

void Container::setCaption(const std::string& caption)
{
    std::wstring shown;
    // The access key's mark is not drawn.
    for (const wchar_t c : wide::fromUtf8(caption)) {
        if (c != L'&') shown.push_back(c);
    }
    if (shown == caption_) return;
    caption_ = shown;
    InvalidateRect(window_, nullptr, TRUE);
}

void Container::addShape(const TwipsRect& place, Colour edge) { shapes_.push_back({place, edge}); }

void Container::addLine(int left, int width, std::function<double()> top) { lines_.push_back({left, width, std::move(top)}); }

Colour Container::backAt(const TwipsRect& place) const
{
    for (const Shape& s : shapes_) {
        const TwipsRect& r = s.place;
        if (place.left >= r.left && place.top >= r.top && place.left + place.width <= r.left + r.width &&
            place.top + place.height <= r.top + r.height) {
            return columnColour;
        }
    }
    return back_;
}

std::optional<LRESULT> Container::onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const std::optional<LRESULT> routed = router_.route(message, wParam, lParam, back_)) return routed;
    switch (message) {
    case WM_ERASEBKGND: return 1; // the paint covers every pixel
    case WM_PAINT: return paintWindow(window, [this](HDC dc) { paint(dc); });
    default: return std::nullopt;
    }
}

void Container::paint(HDC dc) const
{
    const UINT dpi = dpi_();
    RECT area;
    GetClientRect(window_, &area);
    const HBRUSH back = CreateSolidBrush(colorRef(back_));
    FillRect(dc, &area, back);
    DeleteObject(back);

    const HGDIOBJ previousFont = font_ != nullptr ? SelectObject(dc, *font_) : nullptr;
    if (look_ != Look::Area) {
        // The edge, with the caption standing across its top.
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const int captionTop = caption_.empty() ? 0 : metrics.tmHeight / 2;
        RECT edge{area.left, area.top + captionTop, area.right, area.bottom};
        const HPEN pen = CreatePen(PS_SOLID, 1, colorRef(look_ == Look::Panel ? panelEdge : columnColour));
        const HGDIOBJ previousPen = SelectObject(dc, pen);
        const HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, edge.left, edge.top, edge.right, edge.bottom, pixels(90, dpi), pixels(90, dpi));
        SelectObject(dc, previousBrush);
        SelectObject(dc, previousPen);
        DeleteObject(pen);
        if (!caption_.empty()) {
            SetBkColor(dc, colorRef(back_));
            SetBkMode(dc, OPAQUE);
            SetTextColor(dc, colorRef(columnColour));
            const std::wstring padded = L" " + caption_ + L" ";
            TextOutW(dc, pixels(150, dpi), 0, padded.c_str(), static_cast<int>(padded.size()));
        }
    }
    if (previousFont != nullptr) SelectObject(dc, previousFont);

    for (const Shape& s : shapes_) {
        const RECT r = pixelRect(s.place, dpi);
        const HPEN pen = CreatePen(PS_SOLID, std::max(1, pixels(30, dpi)), colorRef(s.edge));
        const HBRUSH fill = CreateSolidBrush(colorRef(columnColour));
        const HGDIOBJ previousPen = SelectObject(dc, pen);
        const HGDIOBJ previousBrush = SelectObject(dc, fill);
        RoundRect(dc, r.left, r.top, r.right, r.bottom, pixels(210, dpi), pixels(210, dpi));
        SelectObject(dc, previousBrush);
        SelectObject(dc, previousPen);
        DeleteObject(fill);
        DeleteObject(pen);
    }
    for (const Line& line : lines_) {
        const int y = pixels(line.top(), dpi);
        RECT r{pixels(line.left, dpi), y, pixels(line.left + line.width, dpi), y + std::max(1, pixels(15, dpi))};
        const HBRUSH fill = CreateSolidBrush(colorRef(columnColour));
        FillRect(dc, &r, fill);
        DeleteObject(fill);
    }
}

} // namespace nimbrel::win32
