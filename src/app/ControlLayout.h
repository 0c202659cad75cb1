#pragma once

// The layout of every window of the program, written once for every view.
//
// Each row is one control: its name (the name the views give the control,
// e.g. "lstRam"), its kind, the window it belongs to (its form: "frmMain",
// "frmLauncher" or "frmAutoUpdate"), the frame it sits in (the form itself,
// a panel such as "fmRAM", a frame inside a panel such as "fraDisplay", or a
// menu such as "mnuFile"), its rectangle in twips inside that frame, and how
// it looks: the caption a view writes on it itself, its font, colours and
// text alignment.
//
// An empty caption means the control's model supplies it (buttons, check
// boxes, option buttons, menu entries and most labels are bound to a model
// that holds their text). A font of 0 points is the window's font; a colour
// left out is the view's own. The fore colour is a text's colour, a shape's
// edge and a line's colour; the back colour is what lies behind a text (a
// label's over a shape: the shape's inside) and a shape's inside. Drawing surfaces are shown as large as their
// raster: their rows hold the place of the top-left corner and the size
// they were designed with.
//
// Looking a control up:
//     const ControlLayout& list = controlLayout("lstRam");                  // a control of frmMain
//     const ControlLayout& cancel = controlLayout("cmdCancel", "frmLauncher");
//     for (const ControlLayout& c : controlsIn("fraDisplay")) { ... }      // in the table's order
// The table's order is the order the controls are made in and the order of
// the keyboard's tab; where siblings overlap, the later one lies over the
// earlier (the banner and the navigation labels over their shapes, the bars
// and graphs over their frames). A menu's rows are its entries from the top.
//
// The four marks of each megabyte scale on the History Graphs panel (lnP,
// lblP, lnV, lblV with their index appended, 0 to 3) have one row each
// kind: their tops follow the scale the graphs lay out (monitor/HistoryGraphs).

#include "core/base/Colour.h"

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace nimbrel {

enum class ControlKind {
    Window, // a form; its rectangle is its client area
    Panel,  // one of the main window's seven panels (fmRAM ... fmAbout)
    Frame,  // a captioned frame grouping controls inside a panel
    Shape,  // a decorative outline, no behaviour
    Label,  // fixed or model-bound text
    Link,   // a label the user clicks (navigation labels, web links)
    Button,
    Check,
    Option, // one option button of a group
    List,
    Combo,    // a drop-down list
    ListView, // lines with an image each (the update dialog's status)
    StatusBar,
    Surface, // a drawing surface the program paints
    Line,    // a one-pixel horizontal line
    Menu,    // a menu of the menu bar, or a submenu
    MenuEntry,
    MenuGroup, // a run of entries made at run time (the programs of the launcher)
    Separator,
};

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend constexpr bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct FontLayout {
    std::string_view face;
    double points = 0; // 0: the window's font
    bool bold = false;
    bool underline = false;

    friend constexpr bool operator==(const FontLayout&, const FontLayout&) = default;
};

enum class HorizontalAlign { Left, Centre, Right };
enum class VerticalAlign { Top, Centre, Bottom };

struct ControlLayout {
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    std::string_view form;
    std::string_view frame; // empty for a form
    TwipsRect place;
    std::string_view caption;
    FontLayout font;
    std::optional<Colour> foreColour;
    std::optional<Colour> backColour;
    HorizontalAlign align = HorizontalAlign::Left;
    VerticalAlign verticalAlign = VerticalAlign::Centre;
    bool wordWrap = false;
    std::string_view toolTip;
};

// Every row, forms first, then each form's controls.
std::span<const ControlLayout> controlLayouts();

// The control of that name on that form; std::out_of_range when there is none.
const ControlLayout& controlLayout(std::string_view name, std::string_view form = "frmMain");

// The controls directly inside a frame (or a form, or a menu), in the table's order.
std::vector<const ControlLayout*> controlsIn(std::string_view frame, std::string_view form = "frmMain");

} // namespace nimbrel
