#include "platform/linux/ProgramFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

// A program whose file name has dots in it, reached through a link as /proc/self/exe is.
TEST(ExecutableDirectory, NamesTheProgramsFileWholeDotsIncluded)
{
    std::string pattern = (fs::temp_directory_path() / "exe-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const fs::path folder(pattern);
    for (const char* name : {"Nimbrel.AppImage", "nimbrel-1.2"}) {
        const fs::path link = folder / (std::string("link-to-") + name);
        fs::create_symlink(folder / name, link);
        ProgramFolders directory(link.string(), folder / "config", folder / "data");
        EXPECT_EQ(directory.path(), folder.string());
        EXPECT_EQ(directory.startCommand(), (folder / name).string());
    }
    fs::remove_all(folder);
}

} // namespace
} // namespace nimbrel
