#include "platform/windows/ModuleFileDirectory.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

TEST(ModuleFileDirectory, TheFolderAndNameOfThisTestProgram)
{
    ModuleFileDirectory directory;
    const std::string folder = directory.path();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    // The start-at-logon command: the whole path in Windows' form, quoted, the name with its extension.
    EXPECT_EQ(directory.startCommand(), "\"" + folder + "\\test_platform_windows.exe\"");
    EXPECT_TRUE(fs::is_regular_file(fs::path(folder) / "test_platform_windows.exe"));
    // The build folder can be written: the files stay beside the program, and the probe leaves nothing there.
    EXPECT_TRUE(directory.portable());
    EXPECT_EQ(directory.settingsPath(), folder);
    EXPECT_FALSE(fs::exists(fs::path(folder) / ".nimbrel-write-test"));
}

// The copy the installer put in place keeps its files in %APPDATA%\Nimbrel though its folder can be written
// (an elevated user's, or under Wine), and what an earlier version left beside it comes along without
// overwriting the user's own.
TEST(ModuleFileDirectory, TheInstalledCopyKeepsItsFilesInTheUsersFolder)
{
    testing::TestFolder appData("appdata");
    const fs::path home = appData.path() / "Nimbrel";
    fs::create_directories(home);
    std::ofstream(home / "Launcher.mbl") << "the user's own list";
    SetEnvironmentVariableW(L"APPDATA", appData.path().wstring().c_str());
    const fs::path folder = testing::ownProgram().parent_path();
    std::ofstream(folder / "settings.ini", std::ios::binary) << "[Startup]\nAutoLaunch=0\n";
    std::ofstream(folder / "Launcher.mbl") << "an old list";

    // The installer's entry, in other letters and with a trailing separator.
    const std::wstring entry = L"Software\\Nimbrel-test-" + std::to_wstring(GetCurrentProcessId());
    std::wstring named = folder.wstring() + L"\\";
    CharUpperW(named.data());
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, entry.c_str(), L"InstallLocation", REG_SZ, named.c_str(),
                              static_cast<DWORD>((named.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ModuleFileDirectory installed(entry);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, entry.c_str());
    ModuleFileDirectory elsewhere(entry);
    const std::string copied = testing::fileBytes(home / "settings.ini");
    const std::string list = testing::fileBytes(home / "Launcher.mbl");
    fs::remove(folder / "settings.ini");
    fs::remove(folder / "Launcher.mbl");
    SetEnvironmentVariableW(L"APPDATA", nullptr);

    EXPECT_FALSE(installed.portable());
    EXPECT_TRUE(installed.installedBySetup());
    EXPECT_EQ(fs::path(installed.settingsPath()), home);
    EXPECT_EQ(copied, "[Startup]\nAutoLaunch=0\n");
    EXPECT_EQ(list, "the user's own list");
    // Without the entry, the same writable folder holds a portable copy's files.
    EXPECT_TRUE(elsewhere.portable());
    EXPECT_FALSE(elsewhere.installedBySetup());
}

} // namespace
} // namespace nimbrel
