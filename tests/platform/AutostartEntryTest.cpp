#include "platform/linux/AutostartEntry.h"
#include "platform/linux/DesktopEntryText.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

unsigned modeOf(const fs::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

class AutostartEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "autostart-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        configHome_ = pattern;
        autostart_ = configHome_ / "autostart";
    }
    void TearDown() override { fs::remove_all(configHome_); }

    fs::path configHome_;
    fs::path autostart_;
};

TEST_F(AutostartEntryTest, WritesADesktopEntryThatStartsTheExecutable)
{
    AutostartEntry entry(autostart_);
    ASSERT_TRUE(entry.write("/opt/nimbrel/Nimbrel"));

    EXPECT_EQ(entry.file(), autostart_ / "Nimbrel.desktop");
    EXPECT_EQ(contentsOf(entry.file()), "[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Nimbrel\n"
                                        "Comment=Frees memory for the programs you run\n"
                                        "TryExec=/opt/nimbrel/Nimbrel\n"
                                        "Exec=/opt/nimbrel/Nimbrel\n"
                                        "Icon=nimbrel\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(entry.executable(), "/opt/nimbrel/Nimbrel");
}

TEST_F(AutostartEntryTest, NoEntryReadsAsAbsentAndCannotBeRemoved)
{
    AutostartEntry entry(autostart_);
    EXPECT_EQ(entry.executable(), std::nullopt);
    EXPECT_FALSE(entry.remove());
    EXPECT_FALSE(fs::exists(autostart_));
}

TEST_F(AutostartEntryTest, RemovingTheEntryDeletesItsFile)
{
    AutostartEntry entry(autostart_);
    ASSERT_TRUE(entry.write("/opt/nimbrel/Nimbrel"));
    EXPECT_TRUE(entry.remove());
    EXPECT_FALSE(fs::exists(entry.file()));
    EXPECT_EQ(entry.executable(), std::nullopt);
    EXPECT_FALSE(entry.remove());
}

TEST_F(AutostartEntryTest, AMissingAutostartFolderIsCreatedForTheUserAlone)
{
    const mode_t previous = ::umask(0);
    AutostartEntry entry(configHome_ / "new-config" / "autostart");
    const bool written = entry.write("/opt/nimbrel/Nimbrel");
    ::umask(previous);

    ASSERT_TRUE(written);
    EXPECT_EQ(modeOf(configHome_ / "new-config"), 0700u);
    EXPECT_EQ(modeOf(configHome_ / "new-config" / "autostart"), 0700u);
    EXPECT_EQ(modeOf(entry.file()), 0600u);
}

TEST_F(AutostartEntryTest, WritingReplacesAHandMadeEntryAndLeavesNoTemporaryFile)
{
    fs::create_directories(autostart_);
    writeBytes(autostart_ / "Nimbrel.desktop", "[Desktop Entry]\nExec=/old/Nimbrel\nHidden=true\n");
    AutostartEntry entry(autostart_);

    ASSERT_TRUE(entry.write("/new/Nimbrel"));

    EXPECT_EQ(entry.executable(), "/new/Nimbrel");
    EXPECT_EQ(std::distance(fs::directory_iterator(autostart_), fs::directory_iterator()), 1);
}

TEST_F(AutostartEntryTest, AnEntryThatAlreadySaysTheSameIsLeftAsItIs)
{
    AutostartEntry entry(autostart_);
    ASSERT_TRUE(entry.write("/opt/nimbrel/Nimbrel"));
    struct stat before {};
    ASSERT_EQ(::stat(entry.file().c_str(), &before), 0);

    ASSERT_TRUE(entry.write("/opt/nimbrel/Nimbrel"));
    struct stat after {};
    ASSERT_EQ(::stat(entry.file().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "not replaced by a new file";
}

TEST_F(AutostartEntryTest, AFolderInPlaceOfTheEntryReadsAsAbsent)
{
    fs::create_directories(autostart_ / "Nimbrel.desktop");
    AutostartEntry entry(autostart_);
    EXPECT_EQ(entry.executable(), std::nullopt);
    EXPECT_FALSE(entry.remove());
}

struct ExecCase {
    const char* name;
    std::string executable;
    std::string execLine; // as it stands in the file
};

void PrintTo(const ExecCase& c, std::ostream* out) { *out << c.name; }

// Reserved characters put the path in double quotes, where " ` $ \ take a
// backslash; the file's own string escapes then double every backslash.
const ExecCase kExecCases[] = {
    {"plain", "/usr/bin/nimbrel", "/usr/bin/nimbrel"},
    {"blanks", "/opt/My Apps/Nimbrel", "\"/opt/My Apps/Nimbrel\""},
    {"double_quotes", "/opt/say \"hi\"/Nimbrel", "\"/opt/say \\\\\"hi\\\\\"/Nimbrel\""},
    {"dollar", "/opt/$HOME/Nimbrel", "\"/opt/\\\\$HOME/Nimbrel\""},
    {"backslash", "/opt/back\\slash/Nimbrel", "\"/opt/back\\\\\\\\slash/Nimbrel\""},
    {"backquotes", "/opt/`date`/Nimbrel", "\"/opt/\\\\`date\\\\`/Nimbrel\""},
    {"single_quote", "/opt/it's/Nimbrel", "\"/opt/it's/Nimbrel\""},
    {"percent", "/opt/100%/Nimbrel", "/opt/100%%/Nimbrel"},
    {"percent_quoted", "/opt/100 %U/Nimbrel", "\"/opt/100 %%U/Nimbrel\""},
    {"shell_signs", "/opt/a;b&c|d<e>f/Nimbrel", "\"/opt/a;b&c|d<e>f/Nimbrel\""},
    {"globs", "/opt/*?#()~/Nimbrel", "\"/opt/*?#()~/Nimbrel\""},
    {"tab", "/opt/a\tb/Nimbrel", "\"/opt/a\\tb/Nimbrel\""},
    {"newline", "/opt/a\nb/Nimbrel", "\"/opt/a\\nb/Nimbrel\""},
    {"leading_blank", " /opt/Nimbrel", "\" /opt/Nimbrel\""},
    {"non_ascii", "/opt/Grüße/ニンブレル", "/opt/Grüße/ニンブレル"},
    {"non_ascii_blank", "/home/zoë/Mes programmes/Nimbrel", "\"/home/zoë/Mes programmes/Nimbrel\""},
    {"everything", "/o p/\"$`\\'%", "\"/o p/\\\\\"\\\\$\\\\`\\\\\\\\'%%\""},
};

class AutostartExecTest : public AutostartEntryTest, public ::testing::WithParamInterface<ExecCase> {};

TEST_P(AutostartExecTest, TheExecLineQuotesThePathAndReadsBackAsThePath)
{
    const ExecCase& c = GetParam();
    AutostartEntry entry(autostart_);
    ASSERT_TRUE(entry.write(c.executable));

    const std::string file = contentsOf(entry.file());
    EXPECT_NE(file.find("\nExec=" + c.execLine + "\n"), std::string::npos) << file;
    EXPECT_EQ(entry.executable(), c.executable);
    // Without the program the desktop passes the entry by, rather than fail to start it at every login.
    const auto keys = desktopentry::mainGroup(file);
    ASSERT_TRUE(keys && keys->count("TryExec")) << file;
    EXPECT_EQ(desktopentry::unescapeString(keys->at("TryExec")), c.executable);
}

// desktop-file-validate comes with the desktop-file-utils package.
TEST_P(AutostartExecTest, TheEntryPassesTheDesktopFileValidator)
{
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "desktop-file-validate is not installed";
    AutostartEntry entry(autostart_);
    ASSERT_TRUE(entry.write(GetParam().executable));

    const std::string command = "desktop-file-validate '" + entry.file().string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) report += buffer.data();
    const int status = ::pclose(pipe);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << report;
    EXPECT_EQ(report, "");
}

INSTANTIATE_TEST_SUITE_P(AutostartOddPaths, AutostartExecTest, ::testing::ValuesIn(kExecCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutostartEntryTest, PathsThatCannotStandInAnEntryAreRefused)
{
    AutostartEntry entry(autostart_);
    EXPECT_FALSE(entry.write(""));
    EXPECT_FALSE(entry.write("/opt/\xff\xfe/Nimbrel"));
    EXPECT_FALSE(entry.write("/opt/\xe2\x82/Nimbrel")); // a cut-off character
    EXPECT_FALSE(entry.write("/opt/a\x01" "b/Nimbrel"));
    EXPECT_FALSE(entry.write(std::string("/opt/a\0b/Nimbrel", 16)));
    EXPECT_FALSE(fs::exists(entry.file()));
}

struct HandMadeCase {
    const char* name;
    std::string file;
    std::optional<std::string> executable;
};

void PrintTo(const HandMadeCase& c, std::ostream* out) { *out << c.name; }

const HandMadeCase kHandMadeCases[] = {
    {"with_arguments", "[Desktop Entry]\nName=RAM\nExec=/home/me/bin/Nimbrel --quiet\n", "/home/me/bin/Nimbrel"},
    {"field_code", "[Desktop Entry]\nExec=/usr/bin/nimbrel %U\n", "/usr/bin/nimbrel"},
    {"comments_blanks_crlf", "# mine\r\n\r\n[Desktop Entry]\r\n  Exec = /usr/bin/nimbrel\r\n", "/usr/bin/nimbrel"},
    {"single_quotes", "[Desktop Entry]\nExec='/opt/my apps/Nimbrel' -x\n", "/opt/my apps/Nimbrel"},
    {"backslash_blank", "[Desktop Entry]\nExec=/opt/my\\ apps/Nimbrel\n", "/opt/my apps/Nimbrel"},
    {"space_escape", "[Desktop Entry]\nExec=\"/opt/my\\sapps/Nimbrel\"\n", "/opt/my apps/Nimbrel"},
    {"quoted_part", "[Desktop Entry]\nExec=/opt/\"my apps\"/Nimbrel\n", "/opt/my apps/Nimbrel"},
    {"other_groups", "[Desktop Action Go]\nExec=/b\n[Desktop Entry]\nExec=/a\n[X-Other]\nExec=/c\n", "/a"},
    {"localized_key", "[Desktop Entry]\nExec[de]=/b\nExec=/a\n", "/a"},
    {"shown", "[Desktop Entry]\nExec=/a\nHidden=false\nX-GNOME-Autostart-enabled=true\n", "/a"},
    {"hidden", "[Desktop Entry]\nExec=/a\nHidden=true\n", std::nullopt},
    {"gnome_disabled", "[Desktop Entry]\nExec=/a\nX-GNOME-Autostart-enabled=false\n", std::nullopt},
    {"empty_file", "", std::nullopt},
    {"no_group", "Exec=/a\n", std::nullopt},
    {"other_group_only", "[Desktop Action Go]\nExec=/a\n", std::nullopt},
    {"no_exec", "[Desktop Entry]\nName=Nimbrel\n", std::nullopt},
    {"empty_exec", "[Desktop Entry]\nExec=\n", std::nullopt},
    {"empty_quotes", "[Desktop Entry]\nExec=\"\" /a\n", std::nullopt},
    {"open_quote", "[Desktop Entry]\nExec=\"/opt/my apps/Nimbrel\n", std::nullopt},
    {"open_single_quote", "[Desktop Entry]\nExec='/opt/my apps/Nimbrel\n", std::nullopt},
    {"not_key_value", "[Desktop Entry]\nthis is no entry\nExec=/a\n", std::nullopt},
    {"broken_header", "[Desktop Entry\nExec=/a\n", std::nullopt},
    {"not_utf8", "[Desktop Entry]\nExec=/opt/\xff/Nimbrel\n", std::nullopt},
    {"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10), std::nullopt},
};

class AutostartHandMadeTest : public AutostartEntryTest, public ::testing::WithParamInterface<HandMadeCase> {};

TEST_P(AutostartHandMadeTest, ReadsTheProgramAsBestItCan)
{
    fs::create_directories(autostart_);
    writeBytes(autostart_ / "Nimbrel.desktop", GetParam().file);
    EXPECT_EQ(AutostartEntry(autostart_).executable(), GetParam().executable);
}

INSTANTIATE_TEST_SUITE_P(AutostartHandMade, AutostartHandMadeTest, ::testing::ValuesIn(kHandMadeCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace nimbrel
