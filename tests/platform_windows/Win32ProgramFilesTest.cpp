// The update's file steps on a real folder. The program replaced while it runs is a copy of this test program:
// run with NIMBREL_RUN_WHILE naming a file, it does nothing but wait until that file is gone.

#include "platform/windows/Win32ProgramFiles.h"


#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* kRunWhileVariable = L"NIMBREL_RUN_WHILE";

const bool ranWhileAsked = [] {
    wchar_t marker[MAX_PATH] = {};
    if (GetEnvironmentVariableW(kRunWhileVariable, marker, MAX_PATH) == 0) return false;
    for (int waited = 0; waited < 600 && GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES; ++waited) Sleep(50);
    ExitProcess(0);
}();

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Win32ProgramFiles, ADownloadedProgramIsSavedWholeAndRemoved)
{
    const testing::TestFolder folder("programfiles");
    Win32ProgramFiles files;
    EXPECT_EQ(files.executableSuffix(), ".exe");
    EXPECT_TRUE(files.folderWritable(folder.path().string()));
    EXPECT_FALSE(files.folderWritable((folder.path() / "missing").string()));

    const std::vector<std::uint8_t> program{'M', 'Z', 0x90, 0, 0xff, '\r', '\n'};
    const std::string downloaded = (folder.path() / "nbl.exe").string();
    {
        const auto staged = files.stageProgram(downloaded);
        ASSERT_TRUE(staged);
        ASSERT_TRUE(staged->write(program.data(), 3));
        ASSERT_TRUE(staged->write(program.data() + 3, program.size() - 3));
        EXPECT_EQ(staged->writtenBytes(), program);
        ASSERT_TRUE(staged->keep());
    }
    EXPECT_EQ(testing::fileBytes(downloaded), std::string(program.begin(), program.end()));
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"nbl.exe"});
    const std::string digest = files.digest(downloaded);
    EXPECT_EQ(digest.size(), 64u);
    EXPECT_TRUE(files.remove(downloaded));
    EXPECT_FALSE(files.remove(downloaded));
    EXPECT_EQ(files.digest(downloaded), "");
    EXPECT_FALSE(files.replaceWithCopy(downloaded, (folder.path() / "Nimbrel.exe").string(), digest));
    {
        const auto dropped = files.stageProgram(downloaded);
        ASSERT_TRUE(dropped && dropped->write(program.data(), program.size()));
    }
    EXPECT_TRUE(namesIn(folder.path()).empty()) << "a download dropped before it is kept leaves nothing";
}

// The old program may still be running when the new one is copied over it: the copy gets its name all the same,
// and what was moved aside for it is cleared by the next update.
TEST(Win32ProgramFiles, TheNewProgramTakesTheNameOfTheOneStillRunning)
{
    const testing::TestFolder folder("programfiles");
    const fs::path installed = folder.path() / "Nimbrel.exe";
    const fs::path downloaded = folder.path() / "nbl.exe";
    fs::copy_file(testing::ownProgram(), installed);
    std::ofstream(downloaded, std::ios::binary) << "MZ the new program";
    const fs::path marker = folder.path() / "running";
    std::ofstream(marker) << "";

    SetEnvironmentVariableW(kRunWhileVariable, marker.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + installed.wstring() + L"\"";
    const bool started = CreateProcessW(installed.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableW(kRunWhileVariable, nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "it runs";

    Win32ProgramFiles files;
    EXPECT_FALSE(files.replaceWithCopy(downloaded.string(), installed.string(), files.digest(installed.string())))
        << "only the bytes of the digest are copied";
    EXPECT_TRUE(files.replaceWithCopy(downloaded.string(), installed.string(), files.digest(downloaded.string())));
    EXPECT_EQ(testing::fileBytes(installed), "MZ the new program");
    EXPECT_EQ(namesIn(folder.path()).size(), 4u) << "the running program moved aside beside the marker";

    fs::remove(marker);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_TRUE(files.replaceWithCopy(downloaded.string(), installed.string(), files.digest(downloaded.string())));
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"Nimbrel.exe", "nbl.exe"}));
}

} // namespace
} // namespace nimbrel
