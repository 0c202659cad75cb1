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

} // namespace

ModuleFileDirectory::ModuleFileDirectory()
{
    const std::wstring folder = wide::fromUtf8(path());
    portable_ = Win32ProgramFiles().folderWritable(path());
    if (portable_) {
        settingsFolder_ = path();
        return;
    }
    wchar_t appData[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    const std::wstring home = length > 0 && length < MAX_PATH ? std::wstring(appData, length) + L"\\Nimbrel" : folder;
    CreateDirectoryW(home.c_str(), nullptr);
    settingsFolder_ = wide::toUtf8(home);
}

std::string ModuleFileDirectory::path()
{
    const std::wstring file = modulePath();
    const std::size_t separator = file.find_last_of(L"\\/");
    return wide::toUtf8(separator == std::wstring::npos ? std::wstring() : file.substr(0, separator));
}

std::string ModuleFileDirectory::startCommand() { return wide::toUtf8(L"\"" + modulePath() + L"\""); }

} // namespace nimbrel
