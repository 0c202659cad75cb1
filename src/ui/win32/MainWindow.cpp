#include "ui/win32/MainWindow.h"

#include "app/MainForm.h"
#include "platform/windows/WideText.h"
#include "ui/win32/ControlBindings.h"
#include "ui/win32/DialogKeys.h"
#include "ui/win32/DpiCalls.h"
#include "ui/win32/Placement.h"
#include "ui/win32/UserAction.h"

#include <functional>

namespace nimbrel::win32 {

namespace {

constexpr const wchar_t* className = L"NimbrelMain";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// A scale's place has been laid out anew; lParam carries what to do, made with new.
constexpr UINT placeScale = WM_APP;

} // namespace

MainWindow::MainWindow(MainForm& form)
    : form_(form),
      controls_("frmMain", [&form](std::string_view name) { return modelOf(form, name); },
                [this](FormBuilder& builder, Container& container, const ControlLayout& row) {
                    return buildScale(builder, container, row);
                })
{
    registerHandledClass(className);
    menus_ = std::make_unique<MenuBar>(form_, controls_.alive());
    window_ = createHandledWindow(*this, className, wide::fromUtf8(form_.frmMain.caption()).c_str(), windowStyle, 0,
                                  RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT}, nullptr,
                                  menus_->bar());
    menus_->setWindow(window_);
    controls_.build(window_, dpi::forWindow(window_));
    resize();
    offerNoResizing(window_);

    followWindowModel();
    const std::weak_ptr<bool> alive = controls_.alive();
    form_.frmMain.changed.connect([this, alive] {
        if (!alive.expired()) followWindowModel();
    });
    form_.frmMain.raiseRequested.connect([this, alive] {
        if (!alive.expired()) bringToFront();
    });
}

MainWindow::~MainWindow()
{
    if (IsWindow(window_)) DestroyWindow(window_);
}

bool MainWindow::buildScale(FormBuilder& builder, Container& container, const ControlLayout& row)
{
    if (row.name != "lnP" && row.name != "lnV" && row.name != "lblP" && row.name != "lblV") return false;
    // The four marks of a graph's scale stand where the graphs' model lays them out.
    auto& marks = row.name.back() == 'P' ? form_.graphs.physicalScale : form_.graphs.pageFileScale;
    for (std::size_t k = 0; k < marks.size(); ++k) {
        HistoryGraphs::ScaleMark& mark = marks[k];
        if (row.kind == ControlKind::Line) {
            container.addLine(row.place.left, row.place.width, [&mark] { return mark.lineY; });
            continue;
        }
        const HWND label = builder.makeControl(container, row, L"STATIC", SS_NOPREFIX | SS_LEFTNOWORDWRAP | SS_CENTERIMAGE);
        builder.alsoName(std::string(row.name) + std::to_string(k), label);
        builder.router().setBackColour(label, container.back());
        bindLabel(label, mark.label, builder.router(), builder.alive(), false);
        const auto follow = [this, &builder, label, &mark, row, area = container.handle()] {
            TwipsRect place = row.place;
            place.top = static_cast<int>(mark.labelTop + 0.5);
            builder.movePlace(label, place);
            builder.relayout(builder.dpi());
            InvalidateRect(area, nullptr, TRUE);
        };
        follow();
        // The scale is laid out with its captions written first and the places after: the place is read
        // again once the change's handlers have all run.
        mark.label.changed.connect([this, follow, alive = builder.alive()] {
            if (alive.expired()) return;
            PostMessageW(window_, placeScale, 0, reinterpret_cast<LPARAM>(new std::function<void()>(follow)));
        });
    }
    return true;
}

void MainWindow::resize()
{
    const SIZE outer = controls_.outerSize(windowStyle, true);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    keepInsideWorkArea(window_);
}

void MainWindow::followWindowModel()
{
    const WindowModel& model = form_.frmMain;
    setText(window_, model.caption());
    followingModel_ = true;
    if (!model.shown() || keptHidden_) {
        if (IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
    } else if (model.minimised()) {
        if (!IsWindowVisible(window_) || !IsIconic(window_)) ShowWindow(window_, SW_SHOWMINIMIZED);
    } else if (!IsWindowVisible(window_) || IsIconic(window_)) {
        ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOWNORMAL);
    }
    followingModel_ = false;
}

void MainWindow::keepHidden()
{
    keptHidden_ = true;
    followWindowModel();
}

void MainWindow::bringToFront()
{
    if (keptHidden_) return;
    followingModel_ = true;
    if (!IsWindowVisible(window_) || IsIconic(window_)) ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    followingModel_ = false;
    SetForegroundWindow(window_);
}

std::optional<LRESULT> MainWindow::onMessage(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // A menu's choice: no control, and its notification code is 0.
        if (lParam == 0 && HIWORD(wParam) == 0 && menus_->command(LOWORD(wParam))) return 0;
        // Enter clicks the button that has the keyboard; Escape leaves the main window as it is.
        return answerDialogKeys(wParam, lParam, {});
    case WM_CLOSE:
        // The form decides: it hides the window, or ends the program.
        runUserAction([this] { form_.Form_QueryUnload(MainForm::FormControlMenu); });
        return 0;
    case WM_SIZE:
        // The user minimising or restoring the window; the window's own following of the model does not count.
        if (!followingModel_ && (wParam == SIZE_MINIMIZED || wParam == SIZE_RESTORED)) {
            const bool minimised = wParam == SIZE_MINIMIZED;
            runUserAction([this, minimised] { form_.frmMain.setMinimised(minimised); });
        }
        return std::nullopt;
    case WM_DPICHANGED:
        controls_.dpiChanged(window_, wParam, lParam);
        resize();
        return 0;
    case placeScale: {
        const std::unique_ptr<std::function<void()>> deferred(reinterpret_cast<std::function<void()>*>(lParam));
        if (!controls_.alive().expired()) runUserAction(*deferred);
        return 0;
    }
    default: return std::nullopt;
    }
}

} // namespace nimbrel::win32
