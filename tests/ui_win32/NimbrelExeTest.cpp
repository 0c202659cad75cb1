// Nimbrel.exe as a user starts it, from a folder of its own: the window, a second start, the settings file
// beside the program, its start-with-Windows entry, its program list, and the exit button.

#include "platform_windows/StartedCopyReport.h"

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

namespace {

namespace fs = std::filesystem;

// The built program, a path of the machine that runs Wine: Wine shows that machine's root as drive Z.
fs::path builtProgram()
{
    std::string path = NIMBREL_EXECUTABLE;
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    return fs::path(path).make_preferred();
}

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

// The visible top-level windows of the process captioned "Nimbrel...".
Found mainWindows(DWORD process)
{
    Found found{process};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& f = *reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t caption[256] = L"";
            GetWindowTextW(window, caption, 256);
            if (owner == f.process && IsWindowVisible(window) && std::wstring(caption).rfind(L"Nimbrel", 0) == 0) {
                f.window = window;
                ++f.count;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
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

// A program list written in the system's code page (1252 here): the accented path shows as written, and a
// double click starts that program.
TEST_F(NimbrelExeTest, AListInTheCodePageShowsAnAccentedPathAndStartsItsProgram)
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
    const HWND list = listHolding(mainWindows(started.dwProcessId).window, L"Reporter|" + program.wstring());
    ASSERT_NE(list, nullptr) << "no list shows the entry with its accented path";
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    const auto id = static_cast<WORD>(GetDlgCtrlID(list));
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    PostMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    // The copy at the accented path, and only there, writes the report.
    EXPECT_TRUE(waitFor([&] { return fileText(report).find('\n') != std::string::npos; }, std::chrono::seconds(30)))
        << "the program was not started";
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
