#include "platform/linux/DiskTextFile.h"

#include "core/base/RuntimeError.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t whole = std::string::npos;
constexpr uid_t nobody = 65534;

mode_t modeOf(const fs::path& file)
{
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
    return info.st_mode & 07777;
}

// Runs the write in a child that is an ordinary user (nobody, when the tests run as root): 0 when the write failed
// with the program's file error, 1 when it went through.
int replacedAsAnOrdinaryUser(const fs::path& file, const std::string& bytes)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(64);
        }
        DiskTextFile disk;
        try {
            disk.replace(file.string(), bytes);
        } catch (const RuntimeError& e) {
            ::_exit(e.number() == 75 ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

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
    EXPECT_FALSE(file_.read(list, whole).has_value());
    file_.replace(list, std::string("caf\xe9|/opt/x\r\n\r\n", 15));
    EXPECT_EQ(file_.read(list, whole), std::string("caf\xe9|/opt/x\r\n\r\n", 15));
    EXPECT_EQ(file_.read(list, 5), "caf\xe9|");
    file_.replace(list, "");
    EXPECT_EQ(file_.read(list, whole), "");
    fs::create_directory(folder_ / "folder.mbl");
    EXPECT_THROW(file_.read((folder_ / "folder.mbl").string(), whole), RuntimeError);
    EXPECT_THROW(file_.replace((folder_ / "missing" / "Launcher.mbl").string(), "x"), RuntimeError);
}

TEST_F(DiskTextFileTest, AFolderThatCannotBeWrittenKeepsTheOldFileWhole)
{
    const fs::path list = folder_ / "Launcher.mbl";
    std::ofstream(list, std::ios::binary) << "Old|/bin/old\r\n";
    ::chmod(list.c_str(), 0644);
    ::chmod(folder_.c_str(), 0555);
    const int outcome = replacedAsAnOrdinaryUser(list, "New|/bin/new\r\n");
    ::chmod(folder_.c_str(), 0700);
    EXPECT_EQ(outcome, 0) << "1: written, 2: another error, 64: no setuid";
    EXPECT_EQ(bytesOf(list), "Old|/bin/old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "no temporary left";
}

TEST_F(DiskTextFileTest, AReadOnlyListInAFolderTheUserMayWriteIsNotReplaced)
{
    const fs::path list = folder_ / "Launcher.mbl";
    const std::string three = "A|/bin/a\r\nB|/bin/b\r\nC|/bin/c\r\n";
    std::ofstream(list, std::ios::binary) << three;
    ::chmod(folder_.c_str(), 0777);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(list.c_str(), nobody, nobody), 0);
    }
    ::chmod(list.c_str(), 0444);

    EXPECT_EQ(replacedAsAnOrdinaryUser(list, "A|/bin/a\r\nB|/bin/b\r\n"), 0)
        << "1: written, 2: another error, 64: no setuid";
    EXPECT_EQ(bytesOf(list), three);
    EXPECT_EQ(modeOf(list), 0444u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "no temporary left";
}

TEST_F(DiskTextFileTest, AnImmutableListIsNotReplacedEvenByRoot)
{
    const fs::path list = folder_ / "Launcher.mbl";
    std::ofstream(list, std::ios::binary) << "A|/bin/a\r\n";
    const int fd = ::open(list.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int flags = 0;
    bool marked = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (marked) {
        flags |= FS_IMMUTABLE_FL;
        marked = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!marked) {
        ::close(fd);
        GTEST_SKIP() << "this file system or user cannot mark a file immutable";
    }
    EXPECT_THROW(file_.replace(list.string(), "B|/bin/b\r\n"), RuntimeError);
    flags &= ~FS_IMMUTABLE_FL;
    ASSERT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0);
    ::close(fd);
    EXPECT_EQ(bytesOf(list), "A|/bin/a\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1) << "no temporary left";
}

TEST_F(DiskTextFileTest, ALinkedListIsWrittenThroughToItsFileWhichKeepsItsMode)
{
    fs::create_directory(folder_ / "dotfiles");
    const fs::path real = folder_ / "dotfiles" / "Launcher.mbl";
    std::ofstream(real, std::ios::binary) << "A|/bin/a\r\n";
    ::chmod(real.c_str(), 0644);
    const fs::path list = folder_ / "Launcher.mbl";
    fs::create_symlink("dotfiles/Launcher.mbl", list);

    file_.replace(list.string(), "B|/bin/b\r\n");
    EXPECT_TRUE(fs::is_symlink(list));
    EXPECT_EQ(bytesOf(real), "B|/bin/b\r\n");
    EXPECT_EQ(modeOf(real), 0644u);
    EXPECT_EQ(file_.read(list.string(), whole), "B|/bin/b\r\n");

    // A link to a file not made yet: the file is made where it leads.
    const fs::path later = folder_ / "later.mbl";
    fs::create_symlink(folder_ / "dotfiles" / "later.mbl", later);
    file_.replace(later.string(), "C|/bin/c\r\n");
    EXPECT_TRUE(fs::is_symlink(later));
    EXPECT_EQ(bytesOf(folder_ / "dotfiles" / "later.mbl"), "C|/bin/c\r\n");
}

} // namespace
} // namespace nimbrel
