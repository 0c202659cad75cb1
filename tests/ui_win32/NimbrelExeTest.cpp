// Nimbrel.exe as a user starts it, from a folder of its own: the window, a second start, the settings file
// beside the program, and the exit button.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

HWND childCaptioned(HWND window, const std::wstring& caption)
{
    struct Search {
        std::wstring caption;
        HWND found = nullptr;
    } search{caption};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            wchar_t text[256] = L"";
            GetWindowTextW(child, text, 256);
            if (s.caption == text) s.found = child;
            return s.found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

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

    fs::path folder;
    std::vector<PROCESS_INFORMATION> processes;
};

TEST_F(NimbrelExeTest, TheWindowAppearsOneCopyRunsTheSettingsLieBesideItAndExitEndsIt)
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

    // A second start ends at once and leaves the one window.
    const PROCESS_INFORMATION second = start();
    ASSERT_EQ(WaitForSingleObject(second.hProcess, 30000), WAIT_OBJECT_0);
    DWORD secondCode = 1;
    GetExitCodeProcess(second.hProcess, &secondCode);
    EXPECT_EQ(secondCode, 0u);
    EXPECT_EQ(mainWindows(second.dwProcessId).count, 0);
    EXPECT_EQ(mainWindows(first.dwProcessId).count, 1);

    // "&Exit Nimbrel" ends the program, with 0.
    const HWND exit = childCaptioned(mainWindows(first.dwProcessId).window, L"&Exit Nimbrel");
    ASSERT_NE(exit, nullptr);
    PostMessageW(exit, BM_CLICK, 0, 0);
    ASSERT_EQ(WaitForSingleObject(first.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(first.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

} // namespace
