// The program list's editor on Windows: built from the layout, modal to the main window, closed by the editor.

#include "app/ControlLayout.h"
#include "support/FormHarness.h"
#include "ui/win32/LauncherEditorWindow.h"

#include "Placement.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace nimbrel::win32 {
namespace {

TEST(LauncherEditorWindowTest, AddedAndSavedTheProgramIsInTheMainWindowsListAndTheFile)
{
    nimbrel::testing::FormHarness h;
    h.form.Form_Load();
    h.programs.suffix = ".exe";
    h.fileDialog.choices.push_back("C:\\Tools\\Editor.exe");
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    int shown = 0;
    h.form.launcher.showEditor = [&](LauncherEditor& editor) {
        LauncherEditorWindow window(editor, owner);
        ++shown;
        testing::expectTopLeftAt(window.control("cmdAdd"), controlLayout("cmdAdd", "frmLauncher").place);

        // The user's clicks, waiting in the queue as the editor opens.
        PostMessageW(window.control("cmdAdd"), BM_CLICK, 0, 0);
        PostMessageW(window.control("cmdSave"), BM_CLICK, 0, 0);
        window.run();
        EXPECT_EQ(SendMessageW(window.control("lstPrograms"), LB_GETCOUNT, 0, 0), 1);
        EXPECT_TRUE(IsWindowEnabled(owner)) << "the main window stayed disabled after the editor closed";
    };
    h.form.launcher.cmdConfigureLauncher.userClick();

    EXPECT_EQ(shown, 1);
    ASSERT_EQ(h.form.launcher.lstLauncher.count(), 1);
    EXPECT_EQ(h.form.launcher.lstLauncher.item(0), "Editor" + std::string(52, ' ') + "|C:\\Tools\\Editor.exe");
    EXPECT_EQ(h.files.files.at("/opt/nimbrel/Launcher.mbl"), h.form.launcher.lstLauncher.item(0) + "\r\n");
    DestroyWindow(owner);
}

} // namespace
} // namespace nimbrel::win32
