#include "platform/linux/XdgRegistryStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

const std::string kNimbrelKey = "Software\\Microsoft\\Nimbrel";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string contentsOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

unsigned modeOf(const fs::path& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) names.insert(item.path().filename().string());
    return names;
}

// A configuration home of its own for each test; the store and the autostart
// folder are created inside it only on demand.
class XdgRegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "registry-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        scratch_ = pattern;
    }
    void TearDown() override { fs::remove_all(scratch_); }

    fs::path configHome() const { return scratch_ / "config"; }
    fs::path root() const { return configHome() / "nimbrel"; }
    fs::path autostartFile() const { return configHome() / "autostart" / "Nimbrel.desktop"; }
    XdgRegistryStore store() const { return XdgRegistryStore(root(), configHome() / "autostart"); }

    fs::path scratch_;
};

TEST_F(XdgRegistryStoreTest, AFreshStoreHasNoKeyAndNoValue)
{
    auto registry = store();
    EXPECT_FALSE(registry.keyExists(kNimbrelKey));
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "LastVersion"), std::nullopt);
    EXPECT_FALSE(registry.deleteValue(kNimbrelKey, "LastVersion"));
    EXPECT_FALSE(fs::exists(configHome()));
}

TEST_F(XdgRegistryStoreTest, SettingAValueUnderAMissingKeyFailsAndCreatesNothing)
{
    auto registry = store();
    EXPECT_FALSE(registry.setValue(kNimbrelKey, "LastVersion", "5.0"));
    EXPECT_FALSE(registry.keyExists(kNimbrelKey));
    EXPECT_FALSE(fs::exists(configHome()));
}

TEST_F(XdgRegistryStoreTest, ACreatedKeyKeepsItsValuesUntilTheyAreDeleted)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey(kNimbrelKey));
    EXPECT_TRUE(registry.keyExists(kNimbrelKey));

    ASSERT_TRUE(registry.setValue(kNimbrelKey, "LastVersion", "4.2"));
    ASSERT_TRUE(registry.setValue(kNimbrelKey, "LastVersion", "5.0"));
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "LastVersion"), "5.0");
    EXPECT_EQ(contentsOf(root() / "software" / "microsoft" / "nimbrel" / "lastversion.value"), "5.0");

    EXPECT_TRUE(registry.deleteValue(kNimbrelKey, "LastVersion"));
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "LastVersion"), std::nullopt);
    EXPECT_FALSE(registry.deleteValue(kNimbrelKey, "LastVersion"));
    EXPECT_TRUE(registry.keyExists(kNimbrelKey));
}

TEST_F(XdgRegistryStoreTest, ValuesSurviveTheStoreThatWroteThem)
{
    {
        auto registry = store();
        ASSERT_TRUE(registry.createKey(kNimbrelKey));
        ASSERT_TRUE(registry.setValue(kNimbrelKey, "Amount", "64"));
    }
    EXPECT_EQ(store().queryValue(kNimbrelKey, "Amount"), "64");
}

TEST_F(XdgRegistryStoreTest, CreatingAKeyCreatesTheKeysAboveIt)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey("A\\B\\C"));
    EXPECT_TRUE(registry.keyExists("A"));
    EXPECT_TRUE(registry.keyExists("A\\B"));
    EXPECT_TRUE(registry.keyExists("A\\B\\C"));
    EXPECT_FALSE(registry.keyExists("A\\C"));
    EXPECT_TRUE(registry.createKey("A\\B\\C")); // already there
    EXPECT_TRUE(registry.setValue("A", "x", "1"));
    EXPECT_EQ(registry.queryValue("A\\B", "x"), std::nullopt);
}

TEST_F(XdgRegistryStoreTest, KeyAndValueNamesMatchWithoutRegardToCase)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey("Software\\Microsoft\\Nimbrel"));
    EXPECT_TRUE(registry.keyExists("SOFTWARE\\microsoft\\NimBrel"));
    ASSERT_TRUE(registry.setValue("software\\MICROSOFT\\nimbrel", "LastVersion", "5.0"));
    EXPECT_EQ(registry.queryValue("Software\\Microsoft\\Nimbrel", "LASTVERSION"), "5.0");
    ASSERT_TRUE(registry.setValue("Software\\Microsoft\\Nimbrel", "lastversion", "5.1"));
    EXPECT_EQ(registry.queryValue("Software\\Microsoft\\Nimbrel", "LastVersion"), "5.1");
    EXPECT_EQ(namesIn(root() / "software" / "microsoft" / "nimbrel"), std::set<std::string>{"lastversion.value"});
    EXPECT_TRUE(registry.deleteValue("SOFTWARE\\MICROSOFT\\NIMBREL", "LastVERSION"));
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "LastVersion"), std::nullopt);
}

TEST_F(XdgRegistryStoreTest, StrayBackslashesInAKeyPathAreSkipped)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey("\\Software\\\\Microsoft\\Nimbrel\\"));
    EXPECT_TRUE(registry.keyExists(kNimbrelKey));
    EXPECT_EQ(registry.keyFolder("\\Software\\\\Microsoft\\Nimbrel\\"), root() / "software" / "microsoft" / "nimbrel");
}

struct ValueCase {
    const char* name;
    std::string data;
};

void PrintTo(const ValueCase& c, std::ostream* out) { *out << c.name; }

const ValueCase kValueCases[] = {
    {"empty", ""},
    {"line_breaks", "one\ntwo\r\nthree\n"},
    {"nul_bytes", std::string("a\0b\0", 4)},
    {"characters_254", std::string(254, 'x')},
    {"characters_255", std::string(255, 'y')},
    {"long", std::string(100000, 'z')},
    {"blanks_around", "  padded  "},
    {"utf8", "Mémoire libérée — 記憶"},
    {"not_utf8", "\xff\xfe\x80"},
    {"every_byte",
     [] {
         std::string all;
         for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
         return all;
     }()},
};

class XdgRegistryStoreValueTest : public XdgRegistryStoreTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(XdgRegistryStoreValueTest, TheTextComesBackByteForByte)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey(kNimbrelKey));
    ASSERT_TRUE(registry.setValue(kNimbrelKey, "Text", GetParam().data));
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "Text"), GetParam().data);
    EXPECT_EQ(contentsOf(registry.valueFile(kNimbrelKey, "Text")), GetParam().data);
}

INSTANTIATE_TEST_SUITE_P(XdgTexts, XdgRegistryStoreValueTest, ::testing::ValuesIn(kValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(XdgRegistryStoreTest, NamesThatAreNoFileNamesStayInsideTheirKey)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey("Key"));
    const std::string names[] = {"", ".", "..", "a/b", "../escape", "x.value", "100%", "@", "Zoë", "a b"};
    for (const auto& name : names) ASSERT_TRUE(registry.setValue("Key", name, "value of " + name)) << name;
    for (const auto& name : names) EXPECT_EQ(registry.queryValue("Key", name), "value of " + name) << name;

    EXPECT_EQ(namesIn(root() / "key"),
              (std::set<std::string>{"@.value", "%2E.value", "%2E%2E.value", "a%2Fb.value", "%2E%2E%2Fescape.value",
                                     "x%2Evalue.value", "100%25.value", "%40.value", "zoë.value", "a b.value"}));
    EXPECT_EQ(namesIn(configHome()), std::set<std::string>{"nimbrel"});
}

TEST_F(XdgRegistryStoreTest, KeyNamesThatAreNoFileNamesStayInsideTheStore)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey("..\\..\\Escape"));
    ASSERT_TRUE(registry.createKey("a/b\\."));
    EXPECT_TRUE(fs::is_directory(root() / "%2E%2E" / "%2E%2E" / "escape"));
    EXPECT_TRUE(fs::is_directory(root() / "a%2Fb" / "%2E"));
    EXPECT_EQ(namesIn(configHome()), std::set<std::string>{"nimbrel"});
    EXPECT_FALSE(registry.keyExists("Escape"));
}

TEST_F(XdgRegistryStoreTest, AKeyAndAValueOfTheSameNameLiveSideBySide)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey("Parent\\Twin"));
    ASSERT_TRUE(registry.setValue("Parent", "Twin", "value"));
    EXPECT_TRUE(registry.keyExists("Parent\\Twin"));
    EXPECT_EQ(registry.queryValue("Parent", "Twin"), "value");
    ASSERT_TRUE(registry.setValue("Parent\\Twin", "Twin", "inner"));
    EXPECT_EQ(registry.queryValue("Parent", "Twin"), "value");
}

TEST_F(XdgRegistryStoreTest, RewritingAValueLeavesNoTemporaryFileBehind)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey(kNimbrelKey));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(registry.setValue(kNimbrelKey, "Count", std::to_string(i)));
    EXPECT_EQ(namesIn(registry.keyFolder(kNimbrelKey)), std::set<std::string>{"count.value"});
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "Count"), "4");
}

class XdgRegistryStoreUmaskTest : public XdgRegistryStoreTest, public ::testing::WithParamInterface<mode_t> {};

TEST_P(XdgRegistryStoreUmaskTest, FoldersAndFilesAreTheUsersAloneWhateverTheUmask)
{
    auto registry = store();
    const mode_t previous = ::umask(GetParam());
    const bool created = registry.createKey(kNimbrelKey);
    const bool set = created && registry.setValue(kNimbrelKey, "LastVersion", "5.0");
    ::umask(previous);
    ASSERT_TRUE(set);

    EXPECT_EQ(modeOf(configHome()), 0700u);
    EXPECT_EQ(modeOf(root()), 0700u);
    EXPECT_EQ(modeOf(root() / "software"), 0700u);
    EXPECT_EQ(modeOf(root() / "software" / "microsoft"), 0700u);
    EXPECT_EQ(modeOf(root() / "software" / "microsoft" / "nimbrel"), 0700u);
    EXPECT_EQ(modeOf(registry.valueFile(kNimbrelKey, "LastVersion")), 0600u);
}

INSTANTIATE_TEST_SUITE_P(XdgUmasks, XdgRegistryStoreUmaskTest, ::testing::Values(mode_t{0}, mode_t{022}, mode_t{0277}),
                         [](const auto& info) { return "umask_0" + std::to_string(info.param >> 6) +
                                                       std::to_string((info.param >> 3) & 7) +
                                                       std::to_string(info.param & 7); });

TEST_F(XdgRegistryStoreTest, AFolderInPlaceOfAValueFileReadsAsAbsent)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey(kNimbrelKey));
    fs::create_directory(registry.valueFile(kNimbrelKey, "Broken"));

    EXPECT_EQ(registry.queryValue(kNimbrelKey, "Broken"), std::nullopt);
    EXPECT_FALSE(registry.setValue(kNimbrelKey, "Broken", "x"));
    EXPECT_FALSE(registry.deleteValue(kNimbrelKey, "Broken"));
    EXPECT_EQ(namesIn(registry.keyFolder(kNimbrelKey)), std::set<std::string>{"broken.value"});
}

TEST_F(XdgRegistryStoreTest, APipeOrABrokenLinkInPlaceOfAValueFileReadsAsAbsent)
{
    auto registry = store();
    ASSERT_TRUE(registry.createKey(kNimbrelKey));
    ASSERT_EQ(::mkfifo(registry.valueFile(kNimbrelKey, "Pipe").c_str(), 0600), 0);
    fs::create_symlink(scratch_ / "nowhere", registry.valueFile(kNimbrelKey, "Link"));

    EXPECT_EQ(registry.queryValue(kNimbrelKey, "Pipe"), std::nullopt);
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "Link"), std::nullopt);
}

TEST_F(XdgRegistryStoreTest, AFileInPlaceOfAKeyFolderIsNoKey)
{
    fs::create_directories(root() / "software" / "microsoft");
    std::ofstream(root() / "software" / "microsoft" / "nimbrel") << "not a key";
    auto registry = store();

    EXPECT_FALSE(registry.keyExists(kNimbrelKey));
    EXPECT_FALSE(registry.createKey(kNimbrelKey));
    EXPECT_FALSE(registry.createKey(kNimbrelKey + "\\Below"));
    EXPECT_FALSE(registry.setValue(kNimbrelKey, "LastVersion", "5.0"));
    EXPECT_EQ(registry.queryValue(kNimbrelKey, "LastVersion"), std::nullopt);
}

TEST_F(XdgRegistryStoreTest, TheRunKeyAndTheKeysAboveItAlwaysExist)
{
    auto registry = store();
    EXPECT_TRUE(registry.keyExists(kRunKey));
    EXPECT_TRUE(registry.keyExists("SOFTWARE\\microsoft\\WINDOWS\\currentversion\\RUN"));
    EXPECT_TRUE(registry.keyExists("Software\\Microsoft"));
    EXPECT_TRUE(registry.keyExists(""));
    EXPECT_FALSE(registry.keyExists(kRunKey + "\\Below"));
    EXPECT_FALSE(registry.keyExists("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"));
    EXPECT_TRUE(registry.createKey(kRunKey));
    EXPECT_FALSE(fs::exists(autostartFile()));
}

TEST_F(XdgRegistryStoreTest, TheStartupValueIsTheAutostartEntry)
{
    auto registry = store();
    ASSERT_TRUE(registry.setValue(kRunKey, "Nimbrel", "/opt/My Apps/Nimbrel"));

    ASSERT_TRUE(fs::exists(autostartFile()));
    EXPECT_NE(contentsOf(autostartFile()).find("\nExec=\"/opt/My Apps/Nimbrel\"\n"), std::string::npos);
    EXPECT_EQ(modeOf(autostartFile()), 0600u);
    EXPECT_EQ(modeOf(autostartFile().parent_path()), 0700u);
    EXPECT_FALSE(fs::exists(root()));
    EXPECT_EQ(registry.queryValue(kRunKey, "Nimbrel"), "/opt/My Apps/Nimbrel");
    EXPECT_EQ(registry.queryValue("software\\microsoft\\windows\\currentversion\\run", "NIMBREL"),
              "/opt/My Apps/Nimbrel");

    EXPECT_TRUE(registry.deleteValue(kRunKey, "nimbrel"));
    EXPECT_FALSE(fs::exists(autostartFile()));
    EXPECT_EQ(registry.queryValue(kRunKey, "Nimbrel"), std::nullopt);
    EXPECT_FALSE(registry.deleteValue(kRunKey, "Nimbrel"));
}

TEST_F(XdgRegistryStoreTest, TheStartupValueReadsAnEntryTheUserMadeByHand)
{
    fs::create_directories(autostartFile().parent_path());
    std::ofstream(autostartFile()) << "[Desktop Entry]\nType=Application\nName=RAM helper\n"
                                      "Exec=/home/me/Nimbrel\\ build/Nimbrel --quiet\n";
    EXPECT_EQ(store().queryValue(kRunKey, "Nimbrel"), "/home/me/Nimbrel build/Nimbrel");
}

TEST_F(XdgRegistryStoreTest, OtherValuesUnderTheRunKeyAreKeptInTheStore)
{
    auto registry = store();
    ASSERT_TRUE(registry.setValue(kRunKey, "Other", "/usr/bin/other"));

    EXPECT_EQ(registry.queryValue(kRunKey, "Other"), "/usr/bin/other");
    EXPECT_EQ(contentsOf(root() / "software" / "microsoft" / "windows" / "currentversion" / "run" / "other.value"),
              "/usr/bin/other");
    EXPECT_FALSE(fs::exists(autostartFile()));
    EXPECT_EQ(registry.queryValue(kRunKey, "Nimbrel"), std::nullopt);
    EXPECT_TRUE(registry.deleteValue(kRunKey, "Other"));
}

// Sets an environment variable for the test's lifetime.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedVariable()
    {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(XdgRegistryStoreDefaults, FollowXdgConfigHome)
{
    ScopedVariable home("HOME", "/home/someone");
    ScopedVariable config("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(XdgRegistryStore::defaultRoot(), fs::path("/srv/config/nimbrel"));
    EXPECT_EQ(AutostartEntry::defaultFolder(), fs::path("/srv/config/autostart"));
}

TEST(XdgRegistryStoreDefaults, FallBackToDotConfigInTheHomeFolder)
{
    ScopedVariable home("HOME", "/home/someone");
    for (const char* config : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ScopedVariable variable("XDG_CONFIG_HOME", config);
        EXPECT_EQ(XdgRegistryStore::defaultRoot(), fs::path("/home/someone/.config/nimbrel")) << (config ? config : "(unset)");
        EXPECT_EQ(AutostartEntry::defaultFolder(), fs::path("/home/someone/.config/autostart")) << (config ? config : "(unset)");
    }
}

TEST_F(XdgRegistryStoreTest, TheDefaultStoreWritesUnderXdgConfigHome)
{
    ScopedVariable config("XDG_CONFIG_HOME", configHome().c_str());
    XdgRegistryStore registry;
    ASSERT_TRUE(registry.createKey(kNimbrelKey));
    ASSERT_TRUE(registry.setValue(kNimbrelKey, "LastVersion", "5.0"));
    ASSERT_TRUE(registry.setValue(kRunKey, "Nimbrel", "/usr/bin/nimbrel"));

    EXPECT_EQ(contentsOf(root() / "software" / "microsoft" / "nimbrel" / "lastversion.value"), "5.0");
    EXPECT_TRUE(fs::exists(autostartFile()));
}

} // namespace
} // namespace nimbrel
