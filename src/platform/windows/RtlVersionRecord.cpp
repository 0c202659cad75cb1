#include "RtlVersionRecord.h"

#include "WideText.h"

#include <windows.h>

#include <cwchar>

namespace nimbrel {

std::optional<VersionRecord> RtlVersionRecord::read()
{
    using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return std::nullopt;
    // A function pointer of another type is how GetProcAddress is meant to be used.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersionCall>(GetProcAddress(ntdll, "RtlGetVersion"));
#pragma GCC diagnostic pop
    if (!rtlGetVersion) return std::nullopt;

    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (rtlGetVersion(&info) != 0) return std::nullopt;

    VersionRecord record;
    record.platformId = info.dwPlatformId;
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.buildField = info.dwBuildNumber;
    record.servicePack = wide::toUtf8(std::wstring_view(info.szCSDVersion, wcsnlen(info.szCSDVersion, 128)));
    return record;
}

SystemIdentity RtlVersionRecord::identify()
{
    SystemIdentity identity;
    if (const std::optional<VersionRecord> record = read()) {
        identity.osName = osNameOf(*record);
        identity.osVersion = osVersionOf(*record);
        identity.servicePack = record->servicePack;
    }
    return identity;
}

} // namespace nimbrel
