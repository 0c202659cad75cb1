#include "platform/linux/DiskTextFile.h"

#include "core/RuntimeError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

class DiskTextFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "textfile-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string bytesOf(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder_;
    DiskTextFile file_;
};

TEST_F(DiskTextFileTest, NoFileIsNothingAFolderInItsPlaceIsAnErrorAndBytesComeBackAsWritten)
{
    const std::string list = (folder_ / "Launcher.mbl").string();
    EXPECT_FALSE(file_.read(list).has_value());
    file_.replace(list, std::string("caf\xe9|/opt/x\r\n\r\n", 15));
    EXPECT_EQ(file_.read(list), std::string("caf\xe9|/opt/x\r\n\r\n", 15));
    file_.replace(list, "");
    EXPECT_EQ(file_.read(list), "");
    fs::create_directory(folder_ / "folder.mbl");
    EXPECT_THROW(file_.read((folder_ / "folder.mbl").string()), RuntimeError);
    EXPECT_THROW(file_.replace((folder_ / "missing" / "Launcher.mbl").string(), "x"), RuntimeError);
}

TEST_F(DiskTextFileTest, AFolderThatCannotBeWrittenKeepsTheOldFileWhole)
{
    const fs::path list = folder_ / "Launcher.mbl";
    std::ofstream(list, std::ios::binary) << "Old|/bin/old\r\n";
    ::chmod(list.c_str(), 0644);
    ::chmod(folder_.c_str(), 0555);
    // Root writes anywhere: the write is tried by nobody.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(64);
        }
        DiskTextFile file;
        try {
            file.replace(list.string(), "New|/bin/new\r\n");
        } catch (const RuntimeError& e) {
            ::_exit(e.number() == 75 ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod(folder_.c_str(), 0700);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << "1: written, 2: another error, 64: no setuid";
    EXPECT_EQ(bytesOf(list), "Old|/bin/old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "no temporary left";
}

} // namespace
} // namespace nimbrel
