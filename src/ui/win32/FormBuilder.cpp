#include "ui/win32/FormBuilder.h"

#include "core/controls/DrawingSurface.h"
#include "core/controls/FrameModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/OptionGroupModel.h"
#include "launcher/ProgramEntry.h"
#include "platform/windows/WideText.h"
#include "ui/win32/ControlBindings.h"
#include "ui/win32/DialogKeys.h"
#include "ui/win32/DpiCalls.h"
#include "ui/win32/StatusImages.h"

#include <algorithm>

namespace nimbrel::win32 {

namespace {

constexpr Colour areaColour = rgb(0xE9, 0xED, 0xF2);
constexpr Colour panelColour = colours::white;
// Behind a dark caption on the column.
constexpr Colour chipColour = rgb(0xE9, 0xED, 0xF2);
// The drop-down part of a drop-down list, below its box.
constexpr int dropDownTwips = 3000;

bool isDark(Colour colour) { return (red(colour) * 11 + green(colour) * 16 + blue(colour) * 5) / 32 < 128; }

bool sameFont(const FontLayout& a, const FontLayout& b)
{
    return a.face == b.face && a.points == b.points && a.bold == b.bold && a.underline == b.underline;
}

DWORD textStyle(const ControlLayout& row)
{
    DWORD style = SS_NOPREFIX;
    switch (row.align) {
    case HorizontalAlign::Centre: style |= SS_CENTER; break;
    case HorizontalAlign::Right: style |= SS_RIGHT; break;
    case HorizontalAlign::Left: style |= row.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP; break;
    }
    // One line centred from top to bottom; wrapped text starts at the top.
    if (!row.wordWrap && row.verticalAlign == VerticalAlign::Centre) style |= SS_CENTERIMAGE;
    return style;
}

} // namespace

FormBuilder::FormBuilder(std::string_view form, Models models, Special special)
    : form_(form), models_(std::move(models)), special_(std::move(special))
{
}

FormBuilder::~FormBuilder()
{
    *alive_ = false;
    surfaces_.clear();
    containers_.clear();
    area_.reset();
    for (auto& [layout, font] : fonts_) DeleteObject(*font);
    for (const HIMAGELIST images : images_) ImageList_Destroy(images);
    for (auto& [label, font] : fitted_) {
        if (font != nullptr) DeleteObject(font);
    }
}

HWND FormBuilder::control(std::string_view name) const
{
    const auto found = names_.find(name);
    return found == names_.end() ? nullptr : found->second;
}

HWND FormBuilder::container(std::string_view name) const
{
    const auto found = containerNames_.find(name);
    return found == containerNames_.end() ? nullptr : found->second->handle();
}

UINT FormBuilder::fittingDpi(HWND window, UINT screenDpi) const
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return screenDpi;
    // The frame and menu bar stay the screen's size; the client area is what shrinks.
    RECT frame{};
    dpi::adjustWindowRect(frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                          static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), screenDpi);
    const LONG roomWidth = monitor.rcWork.right - monitor.rcWork.left - (frame.right - frame.left);
    const LONG roomHeight = monitor.rcWork.bottom - monitor.rcWork.top - (frame.bottom - frame.top);
    const TwipsRect& client = controlLayout(form_, form_).place;
    if (pixels(client.width, screenDpi) <= roomWidth && pixels(client.height, screenDpi) <= roomHeight) {
        return screenDpi;
    }
    // The most dots an inch at which the whole client area fits, one less for the rounding to whole pixels.
    const auto fitting = [](LONG room, int twips) {
        return static_cast<LONG>(static_cast<long long>(std::max<LONG>(room, 0)) * 1440 / std::max(twips, 1)) - 1;
    };
    return static_cast<UINT>(std::max<LONG>(minimumDpi, std::min(fitting(roomWidth, client.width),
                                                                  fitting(roomHeight, client.height))));
}

void FormBuilder::build(HWND window, UINT dpi)
{
    screenDpi_ = dpi;
    dpi_ = fittingDpi(window, dpi);
    const ControlLayout& form = controlLayout(form_, form_);
    area_ = std::make_unique<Container>(window, Container::Look::Area, areaColour, router_, [this] { return dpi_; });
    area_->setFont(fontOf(form.font));
    containerNames_.emplace(std::string(form_), area_.get());
    placed_.push_back({area_->handle(), form.place, nullptr, nullptr});
    ShowWindow(area_->handle(), SW_SHOWNA);
    buildRows(*area_, form_);
    relayout(dpi_);
}

HFONT* FormBuilder::fontOf(const FontLayout& font)
{
    for (auto& [layout, made] : fonts_) {
        if (sameFont(layout, font)) return made.get();
    }
    fonts_.emplace_back(font, std::make_unique<HFONT>(nullptr));
    makeFonts();
    return fonts_.back().second.get();
}

void FormBuilder::makeFonts()
{
    const FontLayout& window = controlLayout(form_, form_).font;
    for (auto& [layout, made] : fonts_) {
        // The update dialog names no font: the system's, Tahoma where it has none of its own.
        double points = layout.points > 0 ? layout.points : window.points > 0 ? window.points : 8;
        std::string_view face = !layout.face.empty() ? layout.face : !window.face.empty() ? window.face : "Tahoma";
        const HFONT previous = *made;
        *made = CreateFontW(-static_cast<int>(points * dpi_ / 72.0 + 0.5), 0, 0, 0, layout.bold ? FW_BOLD : FW_NORMAL,
                            FALSE, layout.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS,
                            wide::fromUtf8(std::string(face)).c_str());
        if (previous != nullptr) DeleteObject(previous);
    }
}

void FormBuilder::buildRows(Container& container, std::string_view frame)
{
    for (const ControlLayout* row : controlsIn(frame, form_)) buildRow(container, *row);
}

HWND FormBuilder::makeControl(Container& container, const ControlLayout& row, const wchar_t* className, DWORD style)
{
    const HWND control = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0,
                                         container.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    names_.emplace(std::string(row.name), control);
    placed_.push_back({control, row.place, nullptr, fontOf(row.font)});
    return control;
}

void FormBuilder::movePlace(HWND control, const TwipsRect& place)
{
    for (Placed& p : placed_) {
        if (p.control == control) p.place = place;
    }
}

void FormBuilder::buildContainer(Container& container, const ControlLayout& row, const ControlModel& model)
{
    const bool panel = row.kind == ControlKind::Panel;
    auto inner = std::make_unique<Container>(container.handle(), panel ? Container::Look::Panel : Container::Look::Frame,
                                             panelColour, router_, [this] { return dpi_; });
    Container& made = *inner;
    made.setFont(fontOf(FontLayout{{}, 0, true, false}));
    placed_.push_back({made.handle(), row.place, nullptr, nullptr});
    containerNames_.emplace(std::string(row.name), &made);
    containers_.push_back(std::move(inner));
    if (auto* const* frame = std::get_if<FrameModel*>(&model)) {
        FrameModel& m = **frame;
        const auto show = [&made, &m] {
            made.setCaption(m.caption());
            ShowWindow(made.handle(), m.visible() ? SW_SHOWNA : SW_HIDE);
        };
        show();
        m.changed.connect([alive = alive(), show] {
            if (!alive.expired()) show();
        });
    } else {
        made.setCaption(std::string(row.caption));
        ShowWindow(made.handle(), SW_SHOWNA);
    }
    buildRows(made, row.name);
}

void FormBuilder::buildRow(Container& container, const ControlLayout& row)
{
    buildControl(container, row);
    if (!row.toolTip.empty()) {
        if (const HWND shown = control(row.name)) toolTips_.set(shown, std::string(row.toolTip));
    }
}

void FormBuilder::buildControl(Container& container, const ControlLayout& row)
{
    if (special_ && special_(*this, container, row)) return;
    const Alive alive = alive_;
    const ControlModel model = models_(row.name);
    switch (row.kind) {
    case ControlKind::Panel:
    case ControlKind::Frame: buildContainer(container, row, model); return;
    case ControlKind::Shape: container.addShape(row.place, row.foreColour.value_or(colours::orange)); return;
    case ControlKind::Label:
    case ControlKind::Link: {
        // A link is reached with Tab like every other control, and Enter or Space opens it.
        const bool clickable = row.kind == ControlKind::Link;
        const HWND label =
            makeControl(container, row, L"STATIC", textStyle(row) | (clickable ? SS_NOTIFY | WS_TABSTOP : 0));
        if (clickable) answerEnterAs(label, STN_CLICKED);
        const Colour behind = row.backColour.value_or(container.backAt(row.place));
        router_.setBackColour(label, behind);
        fitting_.push_back(label);
        if (row.wordWrap) wrapping_.insert(label);
        auto* const* bound = std::get_if<LabelModel*>(&model);
        if (bound == nullptr) {
            setText(label, std::string(row.caption));
            router_.setTextColour(label, row.foreColour.value_or(colours::black));
            return;
        }
        LabelModel& m = **bound;
        bindLabel(label, m, router_, alive, clickable);
        const auto follow = [this, label, &m, behind] {
            // A dark caption on the dark column stands on a light chip.
            if (behind == columnColour) router_.setBackColour(label, isDark(m.foreColour()) ? chipColour : columnColour);
            fitText(label);
        };
        follow();
        m.changed.connect([alive, follow] {
            if (!alive.expired()) follow();
        });
        return;
    }
    case ControlKind::Button: {
        // A button of colours of its own is drawn by the program.
        const bool accent = row.backColour.has_value();
        const HWND button = makeControl(container, row, L"BUTTON", WS_TABSTOP | (accent ? BS_OWNERDRAW : BS_PUSHBUTTON));
        if (accent) router_.drawAsAccent(button, row.foreColour.value_or(colours::black), *row.backColour);
        bindButton(button, *std::get<ButtonModel*>(model), router_, alive);
        return;
    }
    case ControlKind::Check:
        bindCheck(makeControl(container, row, L"BUTTON", WS_TABSTOP | BS_3STATE), *std::get<CheckBoxModel*>(model),
                  router_, alive);
        return;
    case ControlKind::Option: {
        const OptionOf option = std::get<OptionOf>(model);
        // The first of a group starts a group of the keyboard's arrows.
        const DWORD first = option.index == 0 ? WS_GROUP | WS_TABSTOP : 0;
        bindOption(makeControl(container, row, L"BUTTON", first | BS_RADIOBUTTON), *option.group, option.index, router_,
                   alive);
        return;
    }
    case ControlKind::List: {
        const HWND list = makeControl(container, row, L"LISTBOX",
                                      WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
        ListModel& m = *std::get<ListModel*>(model);
        if (!listsPrograms(row.name)) {
            bindList(list, m, router_, alive);
            return;
        }
        // The launcher's lists show each program by its name, and the chosen one's path in the list's tooltip;
        // Enter starts the chosen program, as a double-click does.
        bindList(list, m, router_, alive, listedName);
        const auto showPath = [this, list, &m] {
            const int chosen = m.listIndex();
            toolTips_.set(list, chosen >= 0 && chosen < m.count() ? programPath(m.item(chosen)).value_or("") : "");
        };
        showPath();
        m.changed.connect([alive, showPath] {
            if (!alive.expired()) showPath();
        });
        answerEnterAs(list, LBN_DBLCLK);
        return;
    }
    case ControlKind::Combo: {
        const HWND combo = makeControl(container, row, L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
        placed_.back().place.height += dropDownTwips;
        bindCombo(combo, *std::get<ListModel*>(model), router_, alive);
        return;
    }
    case ControlKind::Surface: {
        DrawingSurface& drawn = *std::get<DrawingSurface*>(model);
        auto surface = std::make_unique<SurfaceControl>(drawn, container.handle(), alive);
        const HWND shown = surface->handle();
        names_.emplace(std::string(row.name), shown);
        placed_.push_back({shown, row.place, surface.get(), nullptr});
        surfaces_.push_back(std::move(surface));
        // The surface's tooltip tells its last value.
        const auto showTip = [this, shown, &drawn] { toolTips_.set(shown, drawn.toolTip()); };
        showTip();
        drawn.changed.connect([alive, showTip] {
            if (!alive.expired()) showTip();
        });
        return;
    }
    case ControlKind::ListView: {
        const HWND view = makeControl(container, row, WC_LISTVIEWW,
                                      WS_BORDER | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER | LVS_SINGLESEL);
        images_.push_back(makeStatusImages(GetSystemMetrics(SM_CXSMICON)));
        SendMessageW(view, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.back()));
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        // The lines' column fills the list inside its edge, beside its vertical scroll bar.
        column.cx = pixels(row.place.width, dpi_) - dpi::systemMetric(SM_CXVSCROLL, dpi_) -
                    2 * dpi::systemMetric(SM_CXEDGE, dpi_);
        SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        bindListView(view, *std::get<ListViewModel*>(model), alive);
        return;
    }
    case ControlKind::StatusBar: makeControl(container, row, STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN); return;
    default: return; // the menu bar builds the menus
    }
}

void FormBuilder::relayout(UINT dpi)
{
    if (dpi != dpi_) {
        dpi_ = dpi;
        makeFonts();
    }
    for (const Placed& p : placed_) {
        RECT r = pixelRect(p.place, dpi_);
        if (p.surface != nullptr) {
            const SIZE raster = p.surface->rasterSize();
            r.right = r.left + MulDiv(raster.cx, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
            r.bottom = r.top + MulDiv(raster.cy, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
        }
        SetWindowPos(p.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (p.font != nullptr) SendMessageW(p.control, WM_SETFONT, reinterpret_cast<WPARAM>(*p.font), FALSE);
    }
    for (const HWND label : fitting_) fitText(label);
}

void FormBuilder::fitText(HWND label)
{
    const auto placed = std::find_if(placed_.begin(), placed_.end(), [label](const Placed& p) { return p.control == label; });
    if (placed == placed_.end() || placed->font == nullptr) return;
    RECT room;
    GetClientRect(label, &room);
    const std::wstring text = textOf(label);
    const HDC dc = GetDC(label);
    // The width the text takes in a font, and the font's average letter.
    const auto measure = [&](HFONT font, LONG& averageWidth) {
        const HGDIOBJ previous = SelectObject(dc, font);
        SIZE needed{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        averageWidth = metrics.tmAveCharWidth;
        return needed.cx;
    };

    HFONT& fitted = fitted_[label];
    if (fitted != nullptr) DeleteObject(fitted);
    fitted = nullptr;
    LOGFONTW smaller{};
    GetObjectW(*placed->font, sizeof smaller, &smaller);
    if (wrapping_.contains(label)) {
        // A wrapped text taller than its place is drawn in a smaller font, down to 6 points, as the other
        // view does: the end of a long reason is never cut off.
        const auto height = [&](HFONT font) {
            const HGDIOBJ previous = SelectObject(dc, font);
            RECT needed{0, 0, room.right, 0};
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK);
            SelectObject(dc, previous);
            return needed.bottom;
        };
        const LONG smallest = MulDiv(6, static_cast<int>(dpi_), 72);
        for (LONG size = std::abs(smaller.lfHeight);
             size > smallest && room.right > 0 && height(fitted != nullptr ? fitted : *placed->font) > room.bottom;) {
            smaller.lfHeight = -(--size);
            if (fitted != nullptr) DeleteObject(fitted);
            fitted = CreateFontIndirectW(&smaller);
        }
    } else {
        // A caption wider than its place is drawn narrower, never cut: the letters are condensed until it fits.
        LONG average = 0;
        LONG needed = measure(*placed->font, average);
        for (int attempt = 0; attempt < 8 && room.right > 0 && needed > room.right && average > 1; ++attempt) {
            smaller.lfWidth = std::max<LONG>(1, average * room.right / needed - (attempt > 0 ? 1 : 0));
            if (fitted != nullptr) DeleteObject(fitted);
            fitted = CreateFontIndirectW(&smaller);
            needed = measure(fitted, average);
        }
    }
    ReleaseDC(label, dc);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fitted != nullptr ? fitted : *placed->font), TRUE);
}

void FormBuilder::dpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    screenDpi_ = HIWORD(wParam);
    relayout(fittingDpi(window, screenDpi_));
    // The window's size follows the layout's, which may be smaller than the system suggests.
    const SIZE outer = outerSize(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr);
    SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, TRUE);
}

SIZE FormBuilder::outerSize(DWORD style, bool menu) const
{
    // The window's client area is the layout's, whatever the frame and menu bar take at the screen's dots an inch.
    RECT outer = pixelRect(controlLayout(form_, form_).place, dpi_);
    dpi::adjustWindowRect(outer, style, menu, 0, screenDpi_);
    return SIZE{outer.right - outer.left, outer.bottom - outer.top};
}

} // namespace nimbrel::win32
