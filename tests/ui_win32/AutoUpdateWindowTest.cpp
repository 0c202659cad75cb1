// The "AutoUpdate" window on Windows: built from the layout, mirroring the dialog, its close box and Escape
// "Cancel", over the main window, every line shown in full.

#include "app/ControlLayout.h"
#include "support/UpdateHarness.h"
#include "platform/windows/WideText.h"
#include "ui/win32/AutoUpdateWindow.h"
#include "ui/win32/Win32EventLoop.h"

#include "Placement.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

namespace nimbrel::win32 {
namespace {

std::wstring lineText(HWND view, int row)
{
    wchar_t text[256] = L"";
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

int lineImage(HWND view, int row)
{
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(view, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

TEST(AutoUpdateWindowTest, CheckForUpgradeShowsTheWindowProceedListsItsStepsAndTheCloseBoxCancels)
{
    nimbrel::testing::UpdateHarness h("http://127.0.0.1:1");
    AutoUpdateWindow window(h.dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(window.handle()));

    h.dialog.Upnbl_Click();
    ASSERT_TRUE(IsWindowVisible(window.handle()));
    testing::expectTopLeftAt(window.control("cmdProceed"), controlLayout("cmdProceed", "frmAutoUpdate").place);

    SendMessageW(window.control("cmdProceed"), BM_CLICK, 0, 0);
    const HWND lines = window.control("ListView1");
    const int count = static_cast<int>(SendMessageW(lines, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_EQ(count, static_cast<int>(h.dialog.ListView1.lines().size()));
    ASSERT_GE(count, 2);
    EXPECT_EQ(lineText(lines, 0), L"Checking for updates...");
    EXPECT_EQ(lineImage(lines, 0), 0); // the green tick, the list's first image
    EXPECT_EQ(lineImage(lines, count - 1), h.dialog.ListView1.lines().back().image - 1);

    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(h.dialog.frmAutoUpdate.shown());
    EXPECT_FALSE(IsWindowVisible(window.handle()));
}

// The messages waiting for the thread, handled as the program's loop handles them.
void pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) deliver(message);
}

TEST(AutoUpdateWindowTest, TheCopySetupInstalledSaysWhereTheNewSetupIsInFullAndEscapeClosesTheWindow)
{
    nimbrel::testing::UpdateHarness h("http://127.0.0.1:1");
    h.directory.isPortable = false;
    const std::string setupLine = installedBySetupLine("https://www.nimbrel.com/");
    AutoUpdateDialog dialog(
        {h.updateServer, h.phases, h.modReg, h.trust, h.files, h.directory, h.reporter, h.checkConnection,
         [] { return true; }, setupLine});
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 80, 900, 700, nullptr,
                                       nullptr, nullptr, nullptr);
    AutoUpdateWindow window(dialog, owner);
    dialog.Upnbl_Click();
    SendMessageW(window.control("cmdProceed"), BM_CLICK, 0, 0);

    // Of a fixed size: nothing offers to maximise or resize it.
    const auto style = GetWindowLongPtrW(window.handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    const HMENU system = GetSystemMenu(window.handle(), FALSE);
    EXPECT_EQ(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(system, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));

    // Over the middle of the main window.
    RECT shown;
    GetWindowRect(window.handle(), &shown);
    EXPECT_NEAR((shown.left + shown.right) / 2, 100 + 900 / 2, 1);
    EXPECT_NEAR((shown.top + shown.bottom) / 2, 80 + 700 / 2, 1);

    // After "Checking for updates...", the line goes on over as many rows as it needs, none cut.
    const HWND lines = window.control("ListView1");
    const int count = static_cast<int>(SendMessageW(lines, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GT(count, 2) << "the line was not broken into rows the list can show";
    std::wstring joined;
    for (int row = 1; row < count; ++row) {
        const std::wstring text = lineText(lines, row);
        RECT label{};
        label.left = LVIR_LABEL;
        SendMessageW(lines, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
        // The list view leaves 12 pixels behind a label's text, or cuts it with "...".
        const auto width = SendMessageW(lines, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str()));
        EXPECT_LE(width + 12, label.right - label.left) << "row " << row << " is cut: " << wide::toUtf8(text);
        joined += (joined.empty() ? L"" : L" ") + text;
    }
    EXPECT_EQ(joined, wide::fromUtf8(setupLine));
    EXPECT_EQ(lineImage(lines, 1), AutoUpdateDialog::negativeImage - 1);
    EXPECT_EQ(lineImage(lines, 2), -1);

    // Escape, wherever the keyboard is in the window.
    SetFocus(window.control("cmdProceed"));
    PostMessageW(window.control("cmdProceed"), WM_KEYDOWN, VK_ESCAPE, 0);
    pump();
    EXPECT_FALSE(dialog.frmAutoUpdate.shown());
    EXPECT_FALSE(IsWindowVisible(window.handle()));

    // Enter clicks the button that has the keyboard.
    dialog.Upnbl_Click();
    ASSERT_TRUE(IsWindowVisible(window.handle()));
    SetFocus(window.control("cmdCancel"));
    ASSERT_EQ(GetFocus(), window.control("cmdCancel"));
    PostMessageW(window.control("cmdCancel"), WM_KEYDOWN, VK_RETURN, 0);
    pump();
    EXPECT_FALSE(dialog.frmAutoUpdate.shown());
    DestroyWindow(owner);
}

} // namespace
} // namespace nimbrel::win32
