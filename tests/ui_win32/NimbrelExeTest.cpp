// Nimbrel.exe as a user starts it, from a folder of its own: the window, a second start, the settings file
// beside the program, its start-with-Windows entry, its program list, and the exit button.

#include "platform_windows/StartedCopyReport.h"
#include "platform_windows/TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

using nimbrel::testing::builtProgram;

template <typename Condition> bool waitFor(Condition condition, std::chrono::seconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

struct Found {
    DWORD process;
    HWND window = nullptr;
    int count = 0;
};

// The visible top-level windows of the process that are what the test looks for.
std::vector<HWND> windowsOf(DWORD process, const std::function<bool(HWND)>& wanted)
{
    struct Search {
        DWORD process;
        const std::function<bool(HWND)>& wanted;
        std::vector<HWND> found;
    } search{process, wanted, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.process && IsWindowVisible(window) && s.wanted(window)) s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible top-level windows of the process captioned "Nimbrel...".
Found mainWindows(DWORD process)
{
    const std::vector<HWND> found = windowsOf(process, [](HWND window) {
        wchar_t caption[256] = L"";
        GetWindowTextW(window, caption, 256);
        return std::wstring(caption).rfind(L"Nimbrel", 0) == 0;
    });
    return {process, found.empty() ? nullptr : found.back(), static_cast<int>(found.size())};
}

// The top-level window of the process whose class is kind ("#32770" for a message box), or nullptr.
HWND windowOfClass(DWORD process, const std::wstring& kind)
{
    const std::vector<HWND> found = windowsOf(process, [&kind](HWND window) {
        wchar_t name[64] = L"";
        GetClassNameW(window, name, 64);
        return kind == name;
    });
    return found.empty() ? nullptr : found.front();
}

// The first child of window that is what the test looks for.
HWND firstChild(HWND window, const std::function<bool(HWND)>& wanted)
{
    struct Search {
        const std::function<bool(HWND)>& wanted;
        HWND found = nullptr;
    } search{wanted};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (s.wanted(child)) s.found = child;
            return s.found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first child whose text is the caption, or begins with it.
HWND childWithText(HWND window, const std::wstring& caption, bool whole)
{
    return firstChild(window, [&](HWND child) {
        wchar_t text[512] = L"";
        GetWindowTextW(child, text, 512);
        const std::wstring shown = text;
        return whole ? shown == caption : shown.rfind(caption, 0) == 0;
    });
}

HWND childCaptioned(HWND window, const std::wstring& caption) { return childWithText(window, caption, true); }

HWND childStartingWith(HWND window, const std::wstring& text) { return childWithText(window, text, false); }

std::string fileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class NimbrelExeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!fs::exists(builtProgram())) GTEST_SKIP() << "Nimbrel.exe is not built at " << builtProgram();
        // A copy left running in this Wine prefix would take every start here for a second one.
        if (const HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Nimbrel")) {
            CloseHandle(running);
            GTEST_FAIL() << "another Nimbrel runs in this Wine prefix; end it first";
        }
        folder = fs::temp_directory_path() / ("nimbrel-exe-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder);
        fs::copy_file(builtProgram(), folder / "Nimbrel.exe", fs::copy_options::overwrite_existing);
        // Error reports and the connectivity probe go nowhere: a closed port on this machine.
        SetEnvironmentVariableW(L"NIMBREL_SERVER", L"http://127.0.0.1:9");
        SetEnvironmentVariableW(L"NIMBREL_PROBE_URL", L"http://127.0.0.1:9/");
    }

    void TearDown() override
    {
        for (PROCESS_INFORMATION& started : processes) {
            if (WaitForSingleObject(started.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(started.hProcess, 1);
            WaitForSingleObject(started.hProcess, 5000);
            CloseHandle(started.hProcess);
            CloseHandle(started.hThread);
        }
        if (restoreDpi) {
            if (*restoreDpi == 0) RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
            else setScreenDpi(*restoreDpi);
        }
        SetEnvironmentVariableW(nimbrel::testing::startedReportVariable, nullptr);
        // The first start asked to start with Windows: the entry names this copy, which goes now.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Nimbrel");
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    PROCESS_INFORMATION& start()
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        std::wstring commandLine = L"\"" + (folder / "Nimbrel.exe").wstring() + L"\"";
        EXPECT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.wstring().c_str(), &startup, &started));
        processes.push_back(started);
        return processes.back();
    }

    // The screen's dots an inch as the system tells programs started from now on.
    void setScreenDpi(DWORD dpi)
    {
        HKEY desktop = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                &desktop),
                  ERROR_SUCCESS);
        DWORD previous = 0;
        DWORD size = sizeof previous;
        if (!restoreDpi && RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(&previous), &size) == ERROR_SUCCESS) {
            restoreDpi = previous;
        } else if (!restoreDpi) {
            restoreDpi = 0; // none set
        }
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(desktop);
    }

    fs::path folder;
    std::vector<PROCESS_INFORMATION> processes;
    std::optional<DWORD> restoreDpi;
};

TEST_F(NimbrelExeTest, TheWindowAppearsTheSettingsLieBesideItAReleaseRunsASecondStartBringsItUpAndExitEndsIt)
{
    const PROCESS_INFORMATION first = start();
    ASSERT_TRUE(waitFor([&] { return mainWindows(first.dwProcessId).window != nullptr; }, std::chrono::seconds(60)))
        << "no window captioned Nimbrel appeared";

    // The first start stores its choices beside the program.
    const fs::path settings = folder / "settings.ini";
    ASSERT_TRUE(waitFor(
        [&] {
            const std::string text = fileText(settings);
            return text.find("GraphInterval=1.5") != std::string::npos &&
                   text.find("AutoLaunch=1") != std::string::npos && text.find("CPUUpdate=2") != std::string::npos;
        },
        std::chrono::seconds(20)))
        << fileText(settings);
    // It starts with Windows: the Run value is the program's whole path, quoted.
    wchar_t run[1024] = L"";
    DWORD runSize = sizeof run;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Nimbrel",
                           RRF_RT_REG_SZ, nullptr, run, &runSize),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(run), L"\"" + (folder / "Nimbrel.exe").wstring() + L"\"");

    // A release of the smallest amount runs and ends, and the window says how it went.
    const HWND window = mainWindows(first.dwProcessId).window;
    const HWND release = childCaptioned(window, L"FreeUp RAM Now");
    ASSERT_NE(release, nullptr);
    PostMessageW(release, BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor(
        [&] {
            return childStartingWith(window, L"Freed ") != nullptr ||
                   childStartingWith(window, L"Nothing was freed") != nullptr ||
                   childStartingWith(window, L"Release refused") != nullptr;
        },
        std::chrono::seconds(60)))
        << "no outcome of the release showed";

    // Hidden in the tray, the running copy is brought up by a second start, which ends at once.
    PostMessageW(childCaptioned(window, L"&Hide"), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, std::chrono::seconds(20)));
    const PROCESS_INFORMATION second = start();
    ASSERT_EQ(WaitForSingleObject(second.hProcess, 30000), WAIT_OBJECT_0);
    DWORD secondCode = 1;
    GetExitCodeProcess(second.hProcess, &secondCode);
    EXPECT_EQ(secondCode, 0u);
    EXPECT_EQ(mainWindows(second.dwProcessId).count, 0);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) != FALSE; }, std::chrono::seconds(20)))
        << "the running copy's window did not come up";
    EXPECT_EQ(mainWindows(first.dwProcessId).count, 1);

    // "&Exit Nimbrel" ends the program, with 0.
    const HWND exit = childCaptioned(window, L"&Exit Nimbrel");
    ASSERT_NE(exit, nullptr);
    PostMessageW(exit, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(first.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(first.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

// The first ListBox under window whose first entry is text.
HWND listHolding(HWND window, const std::wstring& text)
{
    return firstChild(window, [&](HWND child) {
        wchar_t kind[32] = L"";
        GetClassNameW(child, kind, 32);
        const auto length = SendMessageW(child, LB_GETTEXTLEN, 0, 0);
        if (_wcsicmp(kind, L"ListBox") != 0 || length <= 0) return false;
        std::wstring first(static_cast<std::size_t>(length), L'\0');
        SendMessageW(child, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first.data()));
        return first == text;
    });
}

// A program list written in the system's code page (1252 here): the list shows the program's name, and a double
// click starts the program at the accented path as written.
TEST_F(NimbrelExeTest, AListInTheCodePageShowsTheNameAndStartsItsProgramAtAnAccentedPath)
{
    if (GetACP() != 1252) GTEST_SKIP() << "the system's code page is " << GetACP() << ", not 1252";
    const fs::path program = folder / L"Caf\u00e9" / "reporter.exe";
    fs::create_directories(program.parent_path());
    wchar_t own[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    fs::copy_file(own, program);
    const std::string folderBytes = folder.string(); // a folder of plain letters
    std::ofstream(folder / "Launcher.mbl", std::ios::binary) << "Reporter|" << folderBytes << "\\Caf\xE9\\reporter.exe\r\n";
    // Started as it is, without a release first.
    std::ofstream(folder / "settings.ini", std::ios::binary) << "[Launcher]\r\nFreeup=4\r\n";
    const fs::path report = folder / "started.txt";
    SetEnvironmentVariableW(nimbrel::testing::startedReportVariable, report.wstring().c_str());

    const PROCESS_INFORMATION started = start();
    ASSERT_TRUE(waitFor([&] { return mainWindows(started.dwProcessId).window != nullptr; }, std::chrono::seconds(60)));
    const HWND list = listHolding(mainWindows(started.dwProcessId).window, L"Reporter");
    ASSERT_NE(list, nullptr) << "no list shows the entry by its name";
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    const auto id = static_cast<WORD>(GetDlgCtrlID(list));
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    // The copy at the accented path, and only there, writes the report.
    EXPECT_TRUE(waitFor([&] { return fileText(report).find('\n') != std::string::npos; }, std::chrono::seconds(30)))
        << "the program was not started";
}

RECT windowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A program list too long to be read whole: the message that says so opens over the middle of the main window.
TEST_F(NimbrelExeTest, TheMessageOfAListTooLongOpensOverTheMiddleOfTheMainWindow)
{
    std::ofstream list(folder / "Launcher.mbl", std::ios::binary);
    for (int line = 0; line < 1500; ++line) list << "Program " << line << "|C:\\Programs\\program" << line << ".exe\r\n";
    list.close();
    const PROCESS_INFORMATION started = start();
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = windowOfClass(started.dwProcessId, L"#32770")) != nullptr; },
                        std::chrono::seconds(60)))
        << "no message box showed";
    const HWND window = windowOfClass(started.dwProcessId, L"NimbrelMain");
    ASSERT_NE(window, nullptr);
    const RECT boxRect = windowRect(box);
    const RECT windowPlace = windowRect(window);
    EXPECT_NEAR((boxRect.left + boxRect.right) / 2, (windowPlace.left + windowPlace.right) / 2, 1);
    EXPECT_NEAR((boxRect.top + boxRect.bottom) / 2, (windowPlace.top + windowPlace.bottom) / 2, 1);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// A screen too small for the window at its dots an inch: the whole window is drawn smaller, inside the screen's
// work area, in the layout's proportions.
TEST_F(NimbrelExeTest, OnAScreenTooSmallForTheWindowItIsScaledDownToFitTheWorkArea)
{
    setScreenDpi(240);
    const PROCESS_INFORMATION started = start();
    ASSERT_TRUE(waitFor([&] { return mainWindows(started.dwProcessId).window != nullptr; }, std::chrono::seconds(60)));
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const HWND window = mainWindows(started.dwProcessId).window;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT place = windowRect(window);
    EXPECT_GE(place.left, work.left);
    EXPECT_GE(place.top, work.top);
    EXPECT_LE(place.right, work.right);
    EXPECT_LE(place.bottom, work.bottom);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_LT(client.right, (9375 * 240 + 720) / 1440);
    EXPECT_NEAR(client.right * 6375.0 / 9375.0, client.bottom, 1.5);
    // The buttons at the bottom right are inside it.
    const HWND exit = childCaptioned(window, L"&Exit Nimbrel");
    ASSERT_NE(exit, nullptr);
    RECT button = windowRect(exit);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_LE(button.right, client.right);
    EXPECT_LE(button.bottom, client.bottom);
}

// A program started from the launcher's list comes to the front, over Nimbrel.
TEST_F(NimbrelExeTest, AProgramStartedFromTheListComesToTheFront)
{
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    const fs::path notepad = fs::path(system) / "notepad.exe";
    if (!fs::exists(notepad)) GTEST_SKIP() << "no " << notepad;
    std::ofstream(folder / "Launcher.mbl", std::ios::binary) << "notepad|" << notepad.string() << "\r\n";
    std::ofstream(folder / "settings.ini", std::ios::binary) << "[Launcher]\r\nFreeup=4\r\n";
    const PROCESS_INFORMATION started = start();
    ASSERT_TRUE(waitFor([&] { return mainWindows(started.dwProcessId).window != nullptr; }, std::chrono::seconds(60)));
    const HWND list = listHolding(mainWindows(started.dwProcessId).window, L"notepad");
    ASSERT_NE(list, nullptr);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    const auto id = static_cast<WORD>(GetDlgCtrlID(list));
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));

    HWND editor = nullptr;
    ASSERT_TRUE(waitFor([&] { return (editor = FindWindowW(L"Notepad", nullptr)) != nullptr && IsWindowVisible(editor); },
                        std::chrono::seconds(30)))
        << "Notepad did not open";
    DWORD editorProcess = 0;
    GetWindowThreadProcessId(editor, &editorProcess);
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == editor; }, std::chrono::seconds(10)))
        << "Notepad is not in front";
    EXPECT_FALSE(IsIconic(editor));
    if (const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, editorProcess)) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

TEST_F(NimbrelExeTest, OnAScreenOf144DotsAnInchEveryTwipIsScaledByHalfAgain)
{
    setScreenDpi(144);
    const PROCESS_INFORMATION started = start();
    ASSERT_TRUE(waitFor([&] { return mainWindows(started.dwProcessId).window != nullptr; }, std::chrono::seconds(60)));
    // Asked as a program that sees every screen's own pixels, the client area is the layout's 9375 by 6375 twips.
    SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const HWND window = mainWindows(started.dwProcessId).window;
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, (9375 * 144 + 720) / 1440);
    EXPECT_EQ(client.bottom, (6375 * 144 + 720) / 1440);
    // Drawn at the screen's own dots, not enlarged afterwards: the amounts' lines are of an 8-point font at
    // 144 dots an inch, 16 pixels high at least (11 at 96).
    const HWND amounts = firstChild(window, [](HWND child) {
        wchar_t kind[32] = L"";
        GetClassNameW(child, kind, 32);
        return _wcsicmp(kind, L"ListBox") == 0 && IsWindowVisible(child);
    });
    ASSERT_NE(amounts, nullptr);
    EXPECT_GE(SendMessageW(amounts, LB_GETITEMHEIGHT, 0, 0), 16);
}

} // namespace
