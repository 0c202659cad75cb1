#include "ModuleFileDirectory.h"

#include "WideText.h"
#include "Win32ProgramFiles.h"

#include <windows.h>

namespace nimbrel {

namespace {

// The full path of the executable; the buffer grows until the whole path fits (paths may pass MAX_PATH).
std::wstring modulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Whether the installer's entry names folder as the installed copy's (letter case and a trailing separator aside).
bool installedIn(const std::wstring& installEntry, const std::wstring& folder)
{
    wchar_t location[MAX_PATH * 2] = {};
    DWORD size = sizeof location;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, installEntry.c_str(), L"InstallLocation",
                     RRF_RT_REG_SZ, nullptr, location, &size) != ERROR_SUCCESS) {
        return false;
    }
    std::wstring named = location;
    while (!named.empty() && (named.back() == L'\\' || named.back() == L'/')) named.pop_back();
    return !named.empty() &&
           CompareStringOrdinal(named.c_str(), -1, folder.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace

ModuleFileDirectory::ModuleFileDirectory(const std::wstring& installEntry)
{
    const std::wstring folder = wide::fromUtf8(path());
    installedBySetup_ = installedIn(installEntry, folder);
    portable_ = !installedBySetup_ && Win32ProgramFiles().folderWritable(path());
    if (portable_) {
        settingsFolder_ = path();
        return;
    }
    wchar_t appData[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    const std::wstring home = length > 0 && length < MAX_PATH ? std::wstring(appData, length) + L"\\Nimbrel" : folder;
    CreateDirectoryW(home.c_str(), nullptr);
    settingsFolder_ = wide::toUtf8(home);
    // An earlier version kept an installed copy's files beside it where it could write there: they come along
    // once, and never over the user's own.
    if (home != folder) {
        for (const wchar_t* file : {L"settings.ini", L"Launcher.mbl"}) {
            CopyFileW((folder + L"\\" + file).c_str(), (home + L"\\" + file).c_str(), TRUE);
        }
    }
}

std::string ModuleFileDirectory::path()
{
    const std::wstring file = modulePath();
    const std::size_t separator = file.find_last_of(L"\\/");
    return wide::toUtf8(separator == std::wstring::npos ? std::wstring() : file.substr(0, separator));
}

std::string ModuleFileDirectory::startCommand() { return wide::toUtf8(L"\"" + modulePath() + L"\""); }

} // namespace nimbrel
