// Starting programs and opening addresses, with this test program as the one started: run with
// NIMBREL_STARTED_REPORT set, it writes how it was started into that file and ends before any test runs.

#include "platform/windows/CreateProcessStarter.h"
#include "platform/windows/ShellExecuteUrlOpener.h"
#include "platform/common/StarterHandOver.h"

#include "core/base/RuntimeError.h"

#include "StartedCopyReport.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string programPath() { return testing::ownProgram().string(); }

// The report of the started copy, once it is written; empty after 20 seconds without one.
std::wstring awaitReport(const fs::path& report)
{
    for (auto waited = 0ms; waited < 20000ms; waited += 100ms) {
        std::wifstream in(report);
        std::wstring text{std::istreambuf_iterator<wchar_t>(in), std::istreambuf_iterator<wchar_t>()};
        if (std::count(text.begin(), text.end(), L'\n') >= 3) return text;
        std::this_thread::sleep_for(100ms);
    }
    return {};
}

class StartedProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        report_ = fs::temp_directory_path() / ("nimbrel-started-" + std::to_string(GetCurrentProcessId()) + ".txt");
        fs::remove(report_);
        SetEnvironmentVariableW(testing::startedReportVariable, report_.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(testing::startedReportVariable, nullptr);
        std::error_code ec;
        fs::remove(report_, ec);
    }
    fs::path report_;
};

TEST_F(StartedProgramTest, AProgramStartsShownNormallyInItsOwnFolder)
{
    CreateProcessStarter starter;
    const std::string program = programPath();
    ASSERT_TRUE(starter.isOrdinaryFile(program));
    starter.start(program);
    const std::wstring report = awaitReport(report_);
    ASSERT_FALSE(report.empty()) << "the program did not start";
    const fs::path folder = fs::path(program).parent_path();
    EXPECT_EQ(report, std::to_wstring(SW_SHOWNORMAL) + L"\n" + folder.wstring() + L"\n\"" +
                          fs::path(program).wstring() + L"\"\n");
}

// A shortcut as the shell saves one: to program, with arguments, starting in folder.
void saveShortcut(const fs::path& shortcut, const fs::path& program, const std::wstring& arguments,
                  const fs::path& folder)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))));
    link->SetPath(program.c_str());
    link->SetArguments(arguments.c_str());
    link->SetWorkingDirectory(folder.c_str());
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    EXPECT_TRUE(SUCCEEDED(file->Save(shortcut.c_str(), TRUE)));
    file->Release();
    link->Release();
    CoUninitialize();
}

TEST_F(StartedProgramTest, AChosenShortcutIsListedByItsNameAndStartsItsProgramWithItsArguments)
{
    const testing::TestFolder folder("shortcut");
    const fs::path shortcut = folder.path() / "Memory Tool.lnk";
    saveShortcut(shortcut, programPath(), L"--from-shortcut", folder.path());
    ASSERT_TRUE(fs::exists(shortcut));

    CreateProcessStarter starter;
    EXPECT_EQ(starter.desktopName(shortcut.string()), "Memory Tool");
    EXPECT_EQ(starter.desktopName(programPath()), std::nullopt);
    starter.start(shortcut.string());
    const std::wstring report = awaitReport(report_);
    ASSERT_FALSE(report.empty()) << "the shortcut's program did not start";
    EXPECT_EQ(report, std::to_wstring(SW_SHOWNORMAL) + L"\n" + folder.path().wstring() + L"\n\"" +
                          fs::path(programPath()).wstring() + L"\" --from-shortcut\n");
}

// The update's hand-over: the single-instance claim is let go before the program file starts.
TEST_F(StartedProgramTest, AHandOverLetsGoOfTheClaimAndStartsTheProgram)
{
    CreateProcessStarter starter;
    std::vector<std::string> steps;
    StarterHandOver handOver(starter, [&] { steps.push_back(fs::exists(report_) ? "too late" : "let go"); });
    EXPECT_FALSE(handOver.startInstead((fs::temp_directory_path() / "nbl.exe").string()));
    EXPECT_TRUE(handOver.startInstead(programPath()));
    EXPECT_EQ(steps, (std::vector<std::string>{"let go", "let go"}));
    const std::wstring report = awaitReport(report_);
    ASSERT_FALSE(report.empty()) << "the program did not start";
    EXPECT_EQ(report.substr(0, report.find(L'\n')), std::to_wstring(SW_SHOWNORMAL));
}

TEST_F(StartedProgramTest, WhatIsNoProgramFileIsNotFound)
{
    CreateProcessStarter starter;
    EXPECT_EQ(starter.executableSuffix(), ".exe");
    EXPECT_FALSE(starter.isOrdinaryFile(fs::temp_directory_path().string()));
    try {
        starter.start((fs::temp_directory_path() / "no-such-program.exe").string());
        ADD_FAILURE() << "started a program that is not there";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 53);
    }
}

// The address reaches the program the system has for its kind: here this test program, registered for the
// scheme "nimbrel-test".
TEST_F(StartedProgramTest, AnAddressIsOpenedByTheProgramRegisteredForIt)
{
    const std::wstring classKey = L"nimbrel-test";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, classKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    RegCloseKey(key);
    const std::wstring command = L"\"" + fs::path(programPath()).wstring() + L"\" \"%1\"";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (classKey + L"\\shell\\open\\command").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);

    ShellExecuteUrlOpener().openUrl("nimbrel-test://vendor/help/");
    const std::wstring report = awaitReport(report_);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey.c_str());
    ASSERT_FALSE(report.empty()) << "nothing opened the address";
    EXPECT_NE(report.find(L"\"nimbrel-test://vendor/help/\""), std::wstring::npos) << report;
}

} // namespace
} // namespace nimbrel
