#include "platform/windows/Win32TextFile.h"

#include "core/base/RuntimeError.h"
#include "platform/windows/WholeFile.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t whole = std::string::npos;

class Win32TextFileTest : public ::testing::Test {
protected:
    std::vector<std::string> namesInFolder() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        return names;
    }
    testing::TestFolder scratch_{"textfile"};
    const fs::path& folder_ = scratch_.path();
    Win32TextFile file_;
};

TEST_F(Win32TextFileTest, NoFileIsNothingAFolderInItsPlaceIsAnErrorAndBytesComeBackAsWritten)
{
    const std::string list = (folder_ / "Launcher.mbl").string();
    EXPECT_FALSE(file_.read(list, whole).has_value());
    EXPECT_FALSE(file_.read((folder_ / "missing" / "Launcher.mbl").string(), whole).has_value());
    file_.replace(list, std::string("caf\xe9|C:\\x.exe\r\n\r\n", 20));
    EXPECT_EQ(file_.read(list, whole), std::string("caf\xe9|C:\\x.exe\r\n\r\n", 20));
    EXPECT_EQ(file_.read(list, 5), "caf\xe9|");
    file_.replace(list, "");
    EXPECT_EQ(file_.read(list, whole), "");
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"Launcher.mbl"});

    fs::create_directory(folder_ / "folder.mbl");
    EXPECT_THROW(file_.read((folder_ / "folder.mbl").string(), whole), RuntimeError);
    EXPECT_THROW(file_.replace((folder_ / "missing" / "Launcher.mbl").string(), "x"), RuntimeError);
}

// Another program holding the file open without letting it be replaced: the write fails with the program's file
// error, the old bytes stay whole and nothing is left beside them.
TEST_F(Win32TextFileTest, AFileThatCannotBeReplacedKeepsItsOldBytes)
{
    const fs::path list = folder_ / "Launcher.mbl";
    std::ofstream(list, std::ios::binary) << "Old|C:\\old.exe\r\n";
    const HANDLE held = CreateFileW(list.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        file_.replace(list.string(), "New|C:\\new.exe\r\n");
        ADD_FAILURE() << "replaced a file held open";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 75);
    }
    CloseHandle(held);
    EXPECT_EQ(testing::fileBytes(list), "Old|C:\\old.exe\r\n");
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"Launcher.mbl"});
}

// A run that crashed between writing its temporary and moving it into place left it behind, read-only even: the
// next write takes it over, and then the folder holds the file alone.
TEST_F(Win32TextFileTest, TheLeftoverOfACrashedWriteIsGoneAfterTheNextWrite)
{
    const fs::path list = folder_ / "Launcher.mbl";
    const fs::path leftover = wholefile::temporaryFor(list.wstring());
    ASSERT_EQ(leftover.parent_path(), folder_);
    std::ofstream(leftover, std::ios::binary) << "Half|C:\\ha";
    SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(namesInFolder().size(), 1u);

    file_.replace(list.string(), "Editor|C:\\Tools\\Editor.exe\r\n");
    EXPECT_EQ(testing::fileBytes(list), "Editor|C:\\Tools\\Editor.exe\r\n");
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"Launcher.mbl"});
}

// The list's text is in the ANSI code page (1252 on a Western system): an accented path reads as the user typed
// it, and a character that page lacks is refused rather than written as a look-alike or "?".
TEST_F(Win32TextFileTest, TextIsInTheSystemsAnsiCodePage)
{
    if (GetACP() != 1252) GTEST_SKIP() << "the system's code page is " << GetACP() << ", not 1252";
    EXPECT_EQ(file_.decode("Caf\xE9|C:\\Caf\xE9\\notepad.exe \x80"), "Caf\u00e9|C:\\Caf\u00e9\\notepad.exe \u20ac");
    EXPECT_EQ(file_.encode("C:\\Caf\u00e9\\notepad.exe \u20ac"), "C:\\Caf\xE9\\notepad.exe \x80");
    EXPECT_EQ(file_.encode("C:\\\u65e5\u672c\\a.exe"), std::nullopt);
    EXPECT_EQ(file_.encode("C:\\\u0100dam\\a.exe"), std::nullopt) << "no best fit: \u0100 is not A";
    EXPECT_EQ(file_.encode(""), "");
    // A line an earlier version wrote in UTF-8 reads as written.
    EXPECT_EQ(file_.decode("Notepad|C:\\Caf\xC3\xA9\\notepad.exe"), "Notepad|C:\\Caf\u00e9\\notepad.exe");
}

} // namespace
} // namespace nimbrel
