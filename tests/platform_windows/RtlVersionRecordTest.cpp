#include "platform/windows/RtlVersionRecord.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace nimbrel {
namespace {

// The build the system keeps in its registry, which no compatibility shim changes.
std::wstring registryBuild()
{
    wchar_t build[64] = {};
    DWORD size = sizeof build;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber",
                     RRF_RT_REG_SZ, nullptr, build, &size) != ERROR_SUCCESS) {
        return {};
    }
    return build;
}

TEST(RtlVersionRecord, TheErrorReportsNameTheSystemByItsTrueVersion)
{
    const std::optional<VersionRecord> record = RtlVersionRecord::read();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->platformId, 2u);
    const std::wstring build = registryBuild();
    ASSERT_FALSE(build.empty());
    EXPECT_EQ(std::to_wstring(record->buildField), build);

    const SystemIdentity identity = RtlVersionRecord().identify();
    EXPECT_EQ(identity.osVersion, std::to_string(record->major) + "." + std::to_string(record->minor) + "." +
                                      std::string(build.begin(), build.end()));
    // Systems after Server 2003 are not in the table of names.
    if (record->major >= 6) {
        EXPECT_EQ(identity.osName, "");
    }
    EXPECT_EQ(identity.servicePack, record->servicePack);
}

} // namespace
} // namespace nimbrel
