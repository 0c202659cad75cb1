// The Windows services of the view, on the real system calls: timers, the tray icon's notifications, bitmap
// files, the single-instance claim.

#include "core/base/RuntimeError.h"
#include "core/controls/TimerModel.h"
#include "ui/win32/ApplicationWindow.h"
#include "ui/win32/GdiPictureFiles.h"
#include "ui/win32/OpenFileDialog.h"
#include "ui/win32/SingleInstanceMutex.h"
#include "ui/win32/Win32EventLoop.h"
#include "ui/win32/Win32MessageBoxes.h"
#include "ui/win32/Win32TimerScheduler.h"
#include "ui/win32/Win32TrayIcon.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace nimbrel::win32 {
namespace {

// Pumps messages until the condition holds or two seconds have passed.
template <typename Condition> bool pumpUntil(Condition condition)
{
    Win32EventLoop events;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        events.doEvents();
        Sleep(5);
    }
    return condition();
}

TEST(Win32TimerSchedulerTest, ATimerTicksWhileEnabledAndNotAfterItIsDisabled)
{
    Win32TimerScheduler scheduler;
    TimerModel timer(20);
    int ticks = 0;
    timer.onTimer = [&] {
        if (++ticks == 3) timer.setEnabled(false);
    };
    scheduler.attach(timer);
    EXPECT_FALSE(pumpUntil([&] { return ticks > 0; })) << "a disabled timer ticked";

    timer.setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return ticks >= 3; }));
    pumpUntil([] { return false; });
    EXPECT_EQ(ticks, 3);
}

TEST(Win32TrayIconTest, OnlyADoubleClickAndTheRightButtonReleasedReachTheForm)
{
    ApplicationWindow application;
    Win32TrayIcon icon(application.handle(), nullptr);
    application.addHandler(icon);
    std::vector<int> codes;
    icon.onNotification = [&](int code) { codes.push_back(code); };
    for (const UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP}) {
        SendMessageW(application.handle(), Win32TrayIcon::callbackMessage, 1, mouse);
    }
    // The mouse moving over the window itself is no notification.
    SendMessageW(application.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 0));
    EXPECT_EQ(codes, (std::vector<int>{0x203, 0x205}));
}

// Asks the notification area about the window's icon; a change of nothing succeeds only for an icon it holds.
bool askTray(DWORD what, HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    return Shell_NotifyIconW(what, &data) != FALSE;
}

TEST(Win32TrayIconTest, ATaskbarMadeAnewGetsTheIconBackWhileItIsShown)
{
    if (FindWindowW(L"Shell_TrayWnd", nullptr) == nullptr) GTEST_SKIP() << "this desktop has no notification area";
    ApplicationWindow application;
    Win32TrayIcon icon(application.handle(), LoadIconW(nullptr, IDI_APPLICATION));
    application.addHandler(icon);
    // The new taskbar starts empty and tells every top-level window so.
    const auto taskbarMadeAnew = [&] {
        askTray(NIM_DELETE, application.handle());
        SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000,
                            nullptr);
    };
    icon.add("Nimbrel");
    taskbarMadeAnew();
    EXPECT_TRUE(askTray(NIM_MODIFY, application.handle())) << "the icon did not come back";

    icon.remove();
    taskbarMadeAnew();
    EXPECT_FALSE(askTray(NIM_MODIFY, application.handle())) << "a removed icon came back";
}

TEST(Win32TrayIconTest, AnIconKeptOutOfTheTrayNeverGoesThere)
{
    if (FindWindowW(L"Shell_TrayWnd", nullptr) == nullptr) GTEST_SKIP() << "this desktop has no notification area";
    ApplicationWindow application;
    Win32TrayIcon icon(application.handle(), LoadIconW(nullptr, IDI_APPLICATION));
    application.addHandler(icon);
    icon.keepOutOfTray();
    icon.add("Nimbrel");
    EXPECT_FALSE(askTray(NIM_MODIFY, application.handle()));
    SendMessageTimeoutW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    EXPECT_FALSE(askTray(NIM_MODIFY, application.handle())) << "a new taskbar took it";
}

TEST(ApplicationWindowTest, ALaterCopyFindsTheRunningCopyAndAsksItForward)
{
    const std::wstring name = L"Local\\NimbrelTest" + std::to_wstring(GetCurrentProcessId());
    ApplicationWindow application;
    int asked = 0;
    application.onActivationRequest = [&] { ++asked; };

    SingleInstanceMutex running(name);
    ASSERT_TRUE(running.first());
    SingleInstanceMutex later(name);
    EXPECT_FALSE(later.first());
    EXPECT_TRUE(later.askRunningCopy(std::chrono::milliseconds(500)));
    EXPECT_TRUE(pumpUntil([&] { return asked == 1; }));

    later.letGo();
    running.letGo();
    EXPECT_TRUE(SingleInstanceMutex(name).first());
}

TEST(Win32MessageBoxesTest, AQuestionWithYesAndNoShowsItsPromptAndReturnsTheButtonChosen)
{
    // The user, in another thread: finds the box by its title, reads it, and answers No.
    std::wstring shownPrompt;
    bool yesAndNoOnly = false;
    std::thread user([&] {
        HWND box = nullptr;
        for (int i = 0; i < 200 && box == nullptr; ++i) {
            box = FindWindowW(L"#32770", L"Nimbrel test");
            if (box == nullptr) Sleep(25);
        }
        if (box == nullptr) return;
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256); // the prompt's static text
        shownPrompt = text;
        yesAndNoOnly = GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr &&
                       GetDlgItem(box, IDOK) == nullptr && GetDlgItem(box, IDCANCEL) == nullptr;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
    });
    Win32MessageBoxes boxes;
    const int answer = boxes.msgBox("Free up 64 MB now?", mb::yesNo | mb::question, "Nimbrel test");
    user.join();
    EXPECT_EQ(answer, mb::no);
    EXPECT_EQ(shownPrompt, L"Free up 64 MB now?");
    EXPECT_TRUE(yesAndNoOnly);
}

// What the test's hook saw when the box became the active window.
HWND drawnOwner = nullptr;
bool boxSeen = false;
bool ownerStillToDraw = true;

LRESULT CALLBACK watchTheBox(int code, WPARAM wParam, LPARAM lParam)
{
    const auto activated = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && activated != drawnOwner && !boxSeen) {
        boxSeen = true;
        ownerStillToDraw = GetUpdateRect(drawnOwner, nullptr, FALSE) != FALSE;
        PostMessageW(activated, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Win32MessageBoxesTest, TheWindowTheBoxSpeaksOfIsDrawnBeforeTheBoxOpens)
{
    // A window just shown, not drawn yet: as the main window is when a message comes at the start.
    drawnOwner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 50, 50, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
    InvalidateRect(drawnOwner, nullptr, TRUE);
    ASSERT_TRUE(GetUpdateRect(drawnOwner, nullptr, FALSE));
    const HHOOK hook = SetWindowsHookExW(WH_CBT, watchTheBox, nullptr, GetCurrentThreadId());
    Win32MessageBoxes boxes;
    boxes.setOwner(drawnOwner);
    boxes.msgBox("The program list is too long.", mb::exclamation | mb::okOnly, "Nimbrel test");
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(boxSeen);
    EXPECT_FALSE(ownerStillToDraw) << "the box opened before the window under it was drawn";
    DestroyWindow(drawnOwner);
}

TEST(OpenFileDialogTest, TheOpenDialogOpensOverTheMiddleOfItsOwner)
{
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 80, 900, 700, nullptr,
                                       nullptr, nullptr, nullptr);
    // The user, in another thread: finds the dialog, notes where it is, and cancels it.
    RECT shown{};
    bool found = false;
    std::thread user([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 400 && dialog == nullptr; ++i) {
            dialog = FindWindowW(L"#32770", nullptr);
            if (dialog == nullptr || !IsWindowVisible(dialog)) dialog = nullptr;
            if (dialog == nullptr) Sleep(25);
        }
        if (dialog == nullptr) return;
        Sleep(300); // whatever the dialog does as it opens
        found = true;
        GetWindowRect(dialog, &shown);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    OpenFileDialog dialog;
    dialog.setOwner(owner);
    EXPECT_EQ(dialog.chooseProgram(), std::nullopt);
    user.join();
    ASSERT_TRUE(found) << "no Open dialog showed";
    // Centred as it first shows; it may still grow a little after that.
    EXPECT_NEAR((shown.left + shown.right) / 2, 100 + 900 / 2, 16);
    EXPECT_NEAR((shown.top + shown.bottom) / 2, 80 + 700 / 2, 16);
    DestroyWindow(owner);
}

class GdiPictureFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("nimbrel-pictures-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    GdiPictureFiles files;
};

TEST_F(GdiPictureFilesTest, APictureSavedAsABitmapLoadsBackPixelForPixel)
{
    // An odd width, so that each row of the file is padded.
    Picture picture(5, 3, colours::white);
    picture.at(0, 0) = rgb(255, 0, 0);
    picture.at(4, 2) = rgb(0, 128, 255);
    picture.at(2, 1) = colours::orange;
    const std::string path = (folder / "graphback.bmp").string();
    files.save(picture, path);
    EXPECT_EQ(std::filesystem::file_size(path), 14u + 40u + 3u * 16u);
    EXPECT_TRUE(files.exists(path));
    EXPECT_EQ(files.load(path), picture);
}

TEST_F(GdiPictureFilesTest, AMissingFileAndAFileThatIsNoPictureAreTheClassicErrors)
{
    try {
        files.load((folder / "none.bmp").string());
        FAIL() << "a missing file loaded";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 53);
    }
    const std::filesystem::path text = folder / "text.bmp";
    FILE* f = _wfopen(text.c_str(), L"wb");
    std::fputs("not a bitmap", f);
    std::fclose(f);
    try {
        files.load(text.string());
        FAIL() << "a text file loaded as a picture";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 481);
    }
}

} // namespace
} // namespace nimbrel::win32
