#include "platform/windows/RegistryHives.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

namespace nimbrel {
namespace {

const std::string kProgramKey = "Software\\Microsoft\\Nimbrel";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Two keys of the test's own under HKEY_CURRENT_USER stand for the machine's and the user's hive.
class RegistryHivesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = L"Software\\NimbrelTests\\" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &machine_, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\user").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &user_, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        if (machine_) RegCloseKey(machine_);
        if (user_) RegCloseKey(user_);
        RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
    }

    // Stores raw bytes as a text value, the way another program might have left it.
    void storeRaw(HKEY hive, const std::wstring& subKey, const std::wstring& name, const std::wstring& bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(hive, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size() * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    // Leaves the key readable but not writable, as HKEY_LOCAL_MACHINE is to an ordinary user.
    void makeReadOnly(HKEY hive, const std::wstring& subKey)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(hive, subKey.c_str(), 0, WRITE_DAC, &key), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                         &descriptor, nullptr));
        EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
        RegCloseKey(key);
    }

    std::optional<std::wstring> rawValue(HKEY hive, const std::wstring& subKey, const std::wstring& name)
    {
        wchar_t data[256] = {};
        DWORD size = sizeof data;
        if (RegGetValueW(hive, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return std::wstring(data);
    }

    std::wstring root_;
    HKEY machine_ = nullptr;
    HKEY user_ = nullptr;
};

TEST_F(RegistryHivesTest, ValuesGoToTheMachinesKeyAndComeBackWhateverTheCase)
{
    RegistryHives registry(machine_, user_);
    EXPECT_FALSE(registry.keyExists(kProgramKey));
    EXPECT_FALSE(registry.setValue(kProgramKey, "ver", "5")) << "the key is not there yet";
    ASSERT_TRUE(registry.createKey(kProgramKey));
    EXPECT_TRUE(registry.keyExists("software\\MICROSOFT\\nimbrel"));

    ASSERT_TRUE(registry.setValue(kProgramKey, "ver", "5.1"));
    ASSERT_TRUE(registry.setValue(kProgramKey, "App", "07.12.2026 13:30:00 \u00e9t\u00e9"));
    EXPECT_EQ(registry.queryValue("SOFTWARE\\Microsoft\\Nimbrel", "VER"), "5.1");
    EXPECT_EQ(registry.queryValue(kProgramKey, "App"), "07.12.2026 13:30:00 \u00e9t\u00e9");
    EXPECT_EQ(rawValue(machine_, L"Software\\Microsoft\\Nimbrel", L"ver"), L"5.1");
    EXPECT_EQ(rawValue(user_, L"Software\\Microsoft\\Nimbrel", L"ver"), std::nullopt);

    EXPECT_TRUE(registry.deleteValue(kProgramKey, "ver"));
    EXPECT_EQ(registry.queryValue(kProgramKey, "ver"), std::nullopt);
    EXPECT_FALSE(registry.deleteValue(kProgramKey, "ver"));
}

TEST_F(RegistryHivesTest, AValueIsReadUpToItsFirstNulAndWithoutOne)
{
    storeRaw(machine_, L"Software\\Microsoft\\Nimbrel", L"Up", std::wstring(L"b\0junk", 6));
    storeRaw(machine_, L"Software\\Microsoft\\Nimbrel", L"donreq", L"zz"); // stored without its NUL
    RegistryHives registry(machine_, user_);
    EXPECT_EQ(registry.queryValue(kProgramKey, "Up"), "b");
    EXPECT_EQ(registry.queryValue(kProgramKey, "donreq"), "zz");
    EXPECT_EQ(registry.queryValue(kProgramKey, "absent"), std::nullopt);
}

// An ordinary user may read the machine's key but not write it: the update's values go to the same key of the
// user's hive, and reads find them there first, so the update's phases advance.
TEST_F(RegistryHivesTest, WhereTheMachinesKeyIsReadOnlyTheUsersKeyTakesTheValues)
{
    storeRaw(machine_, L"Software\\Microsoft\\Nimbrel", L"Up", L"a");
    storeRaw(machine_, L"Software\\Microsoft\\Nimbrel", L"ver", L"5");
    makeReadOnly(machine_, L"Software\\Microsoft\\Nimbrel");
    HKEY probe = nullptr;
    ASSERT_NE(RegOpenKeyExW(machine_, L"Software\\Microsoft\\Nimbrel", 0, KEY_SET_VALUE, &probe), ERROR_SUCCESS)
        << "the key could still be written";

    RegistryHives registry(machine_, user_);
    ASSERT_TRUE(registry.setValue(kProgramKey, "Up", "b"));
    EXPECT_EQ(registry.queryValue(kProgramKey, "Up"), "b");
    EXPECT_EQ(registry.queryValue(kProgramKey, "ver"), "5") << "values not written still come from the machine";
    EXPECT_EQ(rawValue(user_, L"Software\\Microsoft\\Nimbrel", L"Up"), L"b");
    EXPECT_EQ(rawValue(machine_, L"Software\\Microsoft\\Nimbrel", L"Up"), L"a");
    EXPECT_TRUE(registry.deleteValue(kProgramKey, "Up"));
    EXPECT_EQ(registry.queryValue(kProgramKey, "Up"), "a");
}

// Once the machine's key can be written again, a write there also removes the user's copy, which would
// otherwise hide it.
TEST_F(RegistryHivesTest, AWriteToTheMachinesKeyRemovesTheUsersOlderCopy)
{
    storeRaw(machine_, L"Software\\Microsoft\\Nimbrel", L"Up", L"a");
    storeRaw(user_, L"Software\\Microsoft\\Nimbrel", L"Up", L"b");
    RegistryHives registry(machine_, user_);
    EXPECT_EQ(registry.queryValue(kProgramKey, "Up"), "b");
    ASSERT_TRUE(registry.setValue(kProgramKey, "Up", "c"));
    EXPECT_EQ(registry.queryValue(kProgramKey, "Up"), "c");
    EXPECT_EQ(rawValue(user_, L"Software\\Microsoft\\Nimbrel", L"Up"), std::nullopt);
}

// Start with Windows is the user's own Run value: the machine's Run key is neither read nor written.
TEST_F(RegistryHivesTest, StartWithWindowsIsTheUsersRunValue)
{
    storeRaw(machine_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Nimbrel", L"C:\\old\\Nimbrel.exe");
    RegistryHives registry(machine_, user_);
    EXPECT_EQ(registry.queryValue(kRunKey, "Nimbrel"), std::nullopt);
    ASSERT_TRUE(registry.createKey(kRunKey));
    ASSERT_TRUE(registry.setValue(kRunKey, "Nimbrel", "C:\\Programs\\Nimbrel\\Nimbrel.exe"));
    EXPECT_EQ(rawValue(user_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Nimbrel"),
              L"C:\\Programs\\Nimbrel\\Nimbrel.exe");
    EXPECT_EQ(rawValue(machine_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Nimbrel"),
              L"C:\\old\\Nimbrel.exe");
    EXPECT_TRUE(registry.deleteValue(kRunKey, "Nimbrel"));
    EXPECT_EQ(registry.queryValue(kRunKey, "Nimbrel"), std::nullopt);
    EXPECT_EQ(rawValue(machine_, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Nimbrel"),
              L"C:\\old\\Nimbrel.exe");
}

} // namespace
} // namespace nimbrel
