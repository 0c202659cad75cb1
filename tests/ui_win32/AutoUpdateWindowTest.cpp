// The "AutoUpdate" window on Windows: built from the layout, mirroring the dialog, its close box "Cancel".

#include "app/ControlLayout.h"
#include "support/UpdateHarness.h"
#include "ui/win32/AutoUpdateWindow.h"

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
    AutoUpdateWindow window(h.dialog);
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

} // namespace
} // namespace nimbrel::win32
