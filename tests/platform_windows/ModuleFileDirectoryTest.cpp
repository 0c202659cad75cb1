#include "platform/windows/ModuleFileDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
} // namespace nimbrel
