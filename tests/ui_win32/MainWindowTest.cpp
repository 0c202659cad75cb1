// The Win32 main window as the user meets it: every control of the layout at its place, a click running the
// behaviour, the behaviour's changes on the screen.

#include "app/ControlLayout.h"
#include "memory/ReleaseOutcome.h"
#include "support/FormHarness.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Win32EventLoop.h"

#include "Placement.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace nimbrel::win32 {
namespace {

using nimbrel::testing::FormHarness;
using testing::placeInParent;
using testing::px;

std::wstring textOf(HWND control)
{
    wchar_t text[512] = L"";
    GetWindowTextW(control, text, 512);
    return text;
}

// Kinds that are windows of their own, each at its rectangle.
bool placedAsWindow(const ControlLayout& row)
{
    switch (row.kind) {
    case ControlKind::Panel:
    case ControlKind::Frame:
    case ControlKind::Label:
    case ControlKind::Link:
    case ControlKind::Button:
    case ControlKind::Check:
    case ControlKind::Option:
    case ControlKind::List:
    case ControlKind::Combo:
    case ControlKind::Surface: return row.form == "frmMain" && row.name != "lblP" && row.name != "lblV";
    default: return false;
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.form.Form_Load();
        window = std::make_unique<MainWindow>(h.form);
    }

    HWND control(const char* name) const
    {
        const HWND found = window->control(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void command(HWND control, WORD code) const
    {
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                     reinterpret_cast<LPARAM>(control));
    }

    FormHarness h;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, EveryControlSitsAtItsTwipsRectangleInsideItsFrame)
{
    const UINT dpi = window->dpi();
    int checked = 0;
    for (const ControlLayout& row : controlLayouts()) {
        if (!placedAsWindow(row)) continue;
        SCOPED_TRACE(std::string(row.name));
        const bool container = row.kind == ControlKind::Panel || row.kind == ControlKind::Frame;
        const HWND shown = container ? window->container(row.name) : control(std::string(row.name).c_str());
        ASSERT_NE(shown, nullptr);
        ASSERT_EQ(GetParent(shown), window->container(row.frame));
        const RECT r = placeInParent(shown);
        EXPECT_EQ(r.left, px(row.place.left, dpi));
        EXPECT_EQ(r.top, px(row.place.top, dpi));
        // A drawing surface is as large as its raster; a drop-down list's height is its font's.
        if (row.kind == ControlKind::Surface || row.kind == ControlKind::Combo) {
            ++checked;
            continue;
        }
        EXPECT_EQ(r.right - r.left, px(row.place.width, dpi));
        EXPECT_EQ(r.bottom - r.top, px(row.place.height, dpi));
        ++checked;
    }
    EXPECT_GT(checked, 90);
    // The marks of a graph's scale, four to a row: their tops follow the scale.
    for (const std::string scale : {"lblP", "lblV"}) {
        SCOPED_TRACE(scale);
        const ControlLayout& row = controlLayout(scale);
        for (int k = 0; k < 4; ++k) {
            const HWND mark = control((scale + std::to_string(k)).c_str());
            ASSERT_NE(mark, nullptr);
            ASSERT_EQ(GetParent(mark), window->container(row.frame));
            const RECT r = placeInParent(mark);
            EXPECT_EQ(r.left, px(row.place.left, dpi));
            EXPECT_EQ(r.right - r.left, px(row.place.width, dpi));
            EXPECT_EQ(r.bottom - r.top, px(row.place.height, dpi));
        }
    }

    RECT client;
    GetClientRect(window->handle(), &client);
    EXPECT_EQ(client.right, px(controlLayout("frmMain").place.width, dpi));
    EXPECT_EQ(client.bottom, px(controlLayout("frmMain").place.height, dpi));
}

TEST_F(MainWindowTest, TheCaptionsAreTheBehavioursAndTheLayouts)
{
    EXPECT_EQ(textOf(control("cmdExit")), L"&Exit Nimbrel");
    EXPECT_EQ(textOf(control("lblPProgress")), L"Physical Memory");
    const std::string autoActive = h.form.autoRelease.chkAutoActive.caption();
    EXPECT_EQ(textOf(control("chkAutoActive")), std::wstring(autoActive.begin(), autoActive.end()));
    EXPECT_EQ(textOf(control("optTimeHour")), L"Hours");
}

TEST_F(MainWindowTest, AClickOnAButtonRunsItsHandlerAndTheButtonShowsTheNewCaption)
{
    SendMessageW(control("cmdPause"), BM_CLICK, 0, 0);
    EXPECT_EQ(h.form.cmdPause.caption(), "&Resume Activity");
    EXPECT_EQ(textOf(control("cmdPause")), L"&Resume Activity");
    EXPECT_FALSE(h.form.gauges.tmrMemory.enabled());
}

TEST_F(MainWindowTest, ACheckBoxTurnsOnlyAsTheBehaviourDecides)
{
    const HWND box = control("chkAutoActive");
    ASSERT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED); // the first start's default
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(h.profile.written("Auto", "Active"), "0");

    h.form.autoRelease.chkAutoActive.setValue(1);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainWindowTest, ChoosingAnAmountStoresItEvenWhenItWasAlreadyChosen)
{
    const HWND list = control("lstRam");
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), h.form.amounts.lstRam.count());
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    command(list, LBN_SELCHANGE);
    EXPECT_EQ(h.form.amounts.lstRam.listIndex(), 2);
    EXPECT_EQ(h.profile.written("RAM", "Release"), "2");

    h.profile.writes.clear();
    command(list, LBN_SELCHANGE);
    EXPECT_EQ(h.profile.written("RAM", "Release"), "2");
}

TEST_F(MainWindowTest, TheBehavioursSelectionShowsInTheDropDownListAndEachUserChoiceIsStoredOnce)
{
    ListModel& retries = h.form.startup.cmbRetry;
    const HWND combo = control("cmbRetry");
    retries.setListIndex(retries.count() - 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), retries.count() - 1);

    // Chosen from the list: the list's closing reports the choice again, which is no second choice.
    h.profile.writes.clear();
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    command(combo, CBN_SELENDOK);
    command(combo, CBN_SELCHANGE);
    EXPECT_EQ(retries.listIndex(), 0);
    EXPECT_EQ(h.profile.writes.size(), 1u);
    EXPECT_EQ(h.profile.written("Startup", "Retry"), "0");

    // The arrow keys on the closed list choose too.
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    command(combo, CBN_SELCHANGE);
    EXPECT_EQ(h.profile.written("Startup", "Retry"), "1");
}

TEST_F(MainWindowTest, ANavigationLabelShowsItsPanelAndTheViewMenuDoesTheSame)
{
    command(control("lblAutomaticN"), STN_CLICKED);
    EXPECT_TRUE(GetWindowLongW(window->container("fmAutomatic"), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(window->container("fmRAM"), GWL_STYLE) & WS_VISIBLE);

    // "&Startup/Other", the View menu's sixth entry.
    const HMENU view = window->menus().menu("mnuView");
    SendMessageW(window->handle(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(view, 5), 0), 0);
    EXPECT_TRUE(GetWindowLongW(window->container("fmStartup"), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(window->container("fmAutomatic"), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(MainWindowTest, TabGoesDownTheNavigationColumnAndEnterOnALabelShowsItsPanel)
{
    ShowWindow(window->handle(), SW_SHOW);
    const char* column[] = {"lblReleaseRAMN", "lblAutomaticN", "lblTimeIntervalsN", "lblLauncherN",
                            "lblHistoryGraphsN", "lblStartupOtherN", "lblAboutN"};
    // Tab goes from each entry of the column to the one below it, as in the Qt view.
    for (std::size_t n = 1; n < std::size(column); ++n) {
        EXPECT_EQ(GetNextDlgTabItem(window->handle(), control(column[n - 1]), FALSE), control(column[n]))
            << column[n - 1] << " is not followed by " << column[n];
    }
    const HWND launcher = control("lblLauncherN");
    SetFocus(launcher);
    PostMessageW(launcher, WM_KEYDOWN, VK_RETURN, 0);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) deliver(message);
    EXPECT_TRUE(GetWindowLongW(window->container("fmLauncher"), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongW(window->container("fmRAM"), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(MainWindowTest, TheMenusCarryTheirAccessKeysAndTheReleaseEntryFollowsTheAmount)
{
    const HMENU bar = GetMenu(window->handle());
    wchar_t text[128];
    GetMenuStringW(bar, 0, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&File");
    GetMenuStringW(bar, 2, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Help");

    h.form.amounts.lstRam.userSelect(1);
    const std::string amount = h.form.amounts.lstRam.text();
    const HMENU file = window->menus().menu("mnuFile");
    GetMenuStringW(file, 0, text, 128, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(text), L"Free Up " + std::wstring(amount.begin(), amount.end()) + L" Now");
    GetMenuStringW(file, GetMenuItemCount(file) - 1, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, L"E&xit");
}

TEST_F(MainWindowTest, AGraphsTooltipTellsItsLastValueAndTheTrayGaugeBoxSaysWhatItDoes)
{
    h.form.graphs.picPhysical.setToolTip("Last Value = 100 MB");
    EXPECT_EQ(window->toolTip("picPhysical"), L"Last Value = 100 MB");
    EXPECT_EQ(window->toolTip("chkTrayGauge"), L"Show available memory in the tray icon");
}

TEST_F(MainWindowTest, MovedToAScreenOf144DotsAnInchTheWindowIsLaidOutAgainAtThatScale)
{
    RECT suggested{0, 0, 1000, 800};
    SendMessageW(window->handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const ControlLayout& exit = controlLayout("cmdExit");
    const RECT r = placeInParent(control("cmdExit"));
    EXPECT_EQ(r.left, px(exit.place.left, 144));
    EXPECT_EQ(r.right - r.left, px(exit.place.width, 144));
    RECT client;
    GetClientRect(window->handle(), &client);
    EXPECT_EQ(client.right, px(controlLayout("frmMain").place.width, 144));
}

TEST_F(MainWindowTest, ALongOutcomeIsDrawnWholeInASmallerFontWithinItsPlace)
{
    // The longest outcome there is: a 2,000 MB release refused where there is no page file at all.
    ReleaseOutcome refused;
    refused.refused = true;
    refused.amountMB = 2000;
    refused.words = &pageFileWords;
    const std::string reason = describeOutcome(refused);
    h.form.engine.lblOutcome.setCaption(reason);
    const HWND label = control("lblOutcome");
    RECT room;
    GetClientRect(label, &room);
    const HDC dc = GetDC(label);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, room.right, 0};
    const std::wstring shown = textOf(label);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &needed, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, previous);
    ReleaseDC(label, dc);
    EXPECT_EQ(shown.size(), reason.size());
    EXPECT_LE(needed.bottom, room.bottom) << "the end of the reason is cut off";
}

TEST_F(MainWindowTest, TheWindowFollowsTheFormsCaptionAndVisibility)
{
    h.form.frmMain.setCaption("Nimbrel 100 MB");
    EXPECT_EQ(textOf(window->handle()), L"Nimbrel 100 MB");
    h.form.frmMain.show();
    EXPECT_TRUE(IsWindowVisible(window->handle()));
    SendMessageW(control("cmdHide"), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window->handle()));
}

TEST_F(MainWindowTest, AWindowKeptHiddenFollowsTheCaptionButNeverShows)
{
    h.form.frmMain.show();
    ASSERT_TRUE(IsWindowVisible(window->handle()));
    window->keepHidden();
    EXPECT_FALSE(IsWindowVisible(window->handle()));
    h.form.frmMain.setCaption("Nimbrel 100 MB");
    h.form.frmMain.show();
    h.form.frmMain.bringToFront();
    EXPECT_EQ(textOf(window->handle()), L"Nimbrel 100 MB");
    EXPECT_FALSE(IsWindowVisible(window->handle()));
}

} // namespace
} // namespace nimbrel::win32
