// The program list's editor on Windows: built from the layout, modal to the main window, closed by the editor;
// its lists show the programs' names, Enter runs the chosen one and Escape cancels.

#include "app/ControlLayout.h"
#include "launcher/ProgramEntry.h"
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

std::wstring entryShown(HWND list, int index)
{
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0)), L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text;
}

TEST(LauncherEditorWindowTest, TheListShowsNamesThePathOfTheChosenInItsTooltipEnterRunsItAndEscapeCancels)
{
    nimbrel::testing::FormHarness h;
    h.form.Form_Load();
    h.form.launcher.lstLauncher.addItem(makeEntry("Editor", "C:\\Tools\\Editor.exe"));
    h.form.launcher.lstLauncher.addItem("a line without a bar");
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    h.form.launcher.showEditor = [&](LauncherEditor& editor) {
        LauncherEditorWindow window(editor, owner);
        const HWND list = window.control("lstPrograms");
        EXPECT_EQ(entryShown(list, 0), L"Editor");
        EXPECT_EQ(entryShown(list, 1), L"a line without a bar");
        EXPECT_EQ(window.toolTip("lstPrograms"), L"");

        // The user chooses the first entry: its path is the list's tooltip.
        SendMessageW(list, LB_SETCURSEL, 0, 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        EXPECT_EQ(window.toolTip("lstPrograms"), L"C:\\Tools\\Editor.exe");

        // Enter on the list runs the chosen program; Escape closes the editor as "&Cancel" does.
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
        window.run();
        EXPECT_FALSE(editor.frmLauncher.shown());
    };
    h.form.launcher.cmdConfigureLauncher.userClick();

    EXPECT_EQ(h.programs.started, std::vector<std::string>{"C:\\Tools\\Editor.exe"});
    EXPECT_EQ(h.files.files.count("/opt/nimbrel/Launcher.mbl"), 0u) << "Escape saved the list";
    DestroyWindow(owner);
}

} // namespace
} // namespace nimbrel::win32
