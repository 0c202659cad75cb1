#pragma once

#include "app/ControlLayout.h"
#include "ui/win32/ControlRouter.h"
#include "ui/win32/HandledWindow.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel::win32 {

// A window that holds controls: the main window's client area, a panel, or a
// captioned frame inside a panel. It paints its background, its edge and caption
// (panels and frames), the decorative shapes and lines that sit in it, and passes
// its controls' notifications to the window's router.
class Container : private MessageHandler {
public:
    enum class Look { Area, Panel, Frame };

    // dpi tells the dots an inch of the screen the window is on, for the shapes' places in twips.
    Container(HWND parent, Look look, Colour back, ControlRouter& router, std::function<UINT()> dpi);
    ~Container() override;
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    HWND handle() const { return window_; }
    Colour back() const { return back_; }

    void setCaption(const std::string& caption);
    // The font of the caption, which the window remakes when the dots an inch change.
    void setFont(const HFONT* font) { font_ = font; }
    // An outline filled with the column's dark, in the given colour of its edge.
    void addShape(const TwipsRect& place, Colour edge);
    // A one-pixel line of the column's dark, its top (in twips) asked for at each paint.
    void addLine(int left, int width, std::function<double()> top);

    // The colour behind a control at that place (twips): the shape's fill when it lies on one.
    Colour backAt(const TwipsRect& place) const;

private:
    struct Shape {
        TwipsRect place;
        Colour edge;
    };
    struct Line {
        int left;
        int width;
        std::function<double()> top;
    };

    std::optional<LRESULT> onMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc) const;

    HWND window_;
    Look look_;
    Colour back_;
    ControlRouter& router_;
    std::function<UINT()> dpi_;
    std::wstring caption_;
    std::vector<Shape> shapes_;
    std::vector<Line> lines_;
    const HFONT* font_ = nullptr;
};

// The column's dark: the navigation column and the banner, the graphs' frames and the scale lines.
constexpr Colour columnColour = rgb(0x1F, 0x2D, 0x3D);

int pixels(int twips, UINT dpi);
int pixels(double twips, UINT dpi);
RECT pixelRect(const TwipsRect& place, UINT dpi);

} // namespace nimbrel::win32
