#pragma once

#include "app/ControlLayout.h"
#include "app/ControlModels.h"
#include "ui/win32/Container.h"
#include "ui/win32/ControlRouter.h"
#include "ui/win32/SurfaceControl.h"
#include "ui/win32/ToolTips.h"

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::win32 {

// Builds the controls of one form from the layout's rows into a top-level window and
// binds each to its model: panels and frames as containers, shapes drawn by theirs,
// texts, buttons, boxes, lists and drawing surfaces as child windows. Every place is
// in twips, turned into pixels at the dots an inch of the screen the window is on.
class FormBuilder {
public:
    using Models = std::function<ControlModel(std::string_view name)>;
    // Builds a row itself and returns true, or leaves it to the builder.
    using Special = std::function<bool(FormBuilder& builder, Container& container, const ControlLayout& row)>;

    FormBuilder(std::string_view form, Models models, Special special = {});
    ~FormBuilder();
    FormBuilder(const FormBuilder&) = delete;
    FormBuilder& operator=(const FormBuilder&) = delete;

    // Builds the form's controls in window's client area, at the dots an inch of its screen, or at fewer where
    // the window would not fit the screen's work area: the whole layout is then drawn smaller.
    void build(HWND window, UINT dpi);
    // Places everything again at new dots an inch, with fonts to match.
    void relayout(UINT dpi);
    // Answers WM_DPICHANGED of the form's window: the window where the system suggests, everything placed anew.
    void dpiChanged(HWND window, WPARAM wParam, LPARAM lParam);
    // The window's outer size for the form's client area at the current dots an inch.
    SIZE outerSize(DWORD style, bool menu) const;

    // The control of that name, nullptr for none.
    HWND control(std::string_view name) const;
    // The container the controls of that panel or frame sit in; the client area for the form's own name.
    HWND container(std::string_view name) const;
    // The dots an inch the form is laid out at.
    UINT dpi() const { return dpi_; }
    // The text the tooltip of the control of that name shows.
    std::wstring toolTip(std::string_view name) const { return toolTips_.text(control(name)); }
    // Expires when the builder goes: the models' observers then do nothing.
    std::weak_ptr<bool> alive() const { return alive_; }
    ControlRouter& router() { return router_; }

    // A child window of the container of the given class, placed at the row's place with its font.
    HWND makeControl(Container& container, const ControlLayout& row, const wchar_t* className, DWORD style);
    // The row's place from now on, in twips.
    void movePlace(HWND control, const TwipsRect& place);
    // The name a control is found by besides its row's.
    void alsoName(const std::string& name, HWND control) { names_.emplace(name, control); }

private:
    struct Placed {
        HWND control;
        TwipsRect place;
        SurfaceControl* surface; // drawn as large as its raster
        HFONT* font;
    };

    void buildRows(Container& container, std::string_view frame);
    void buildRow(Container& container, const ControlLayout& row);
    void buildControl(Container& container, const ControlLayout& row);
    void buildContainer(Container& container, const ControlLayout& row, const ControlModel& model);
    HFONT* fontOf(const FontLayout& font);
    void fitText(HWND label);
    void makeFonts();
    UINT fittingDpi(HWND window, UINT screenDpi) const;

    std::string_view form_;
    Models models_;
    Special special_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    // No smaller than a quarter of the usual size, however small the screen.
    static constexpr LONG minimumDpi = USER_DEFAULT_SCREEN_DPI / 4;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    UINT screenDpi_ = USER_DEFAULT_SCREEN_DPI;
    ControlRouter router_;
    ToolTips toolTips_;
    std::unique_ptr<Container> area_;
    std::vector<std::unique_ptr<Container>> containers_;
    std::map<std::string, Container*, std::less<>> containerNames_;
    std::vector<std::unique_ptr<SurfaceControl>> surfaces_;
    std::vector<Placed> placed_;
    std::map<std::string, HWND, std::less<>> names_;
    std::vector<std::pair<FontLayout, std::unique_ptr<HFONT>>> fonts_;
    std::vector<HWND> fitting_;      // captions fitted to their places: condensed, or smaller where they wrap
    std::set<HWND> wrapping_;        // those of them that wrap
    std::map<HWND, HFONT> fitted_;   // their fitted fonts
    std::vector<HIMAGELIST> images_; // the list views' images
};

} // namespace nimbrel::win32
