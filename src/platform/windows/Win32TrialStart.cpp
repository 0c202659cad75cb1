#include "Win32TrialStart.h"

#include "TrialRun.h"
#include "WholeFile.h"
#include "WideText.h"
#include "platform/common/Environment.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cwchar>
#include <string>
#include <string_view>

namespace nimbrel {

namespace {

// Removes the folder with all it holds; false when something stays. A link to a folder goes itself, unfollowed.
bool removeFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(path.c_str());
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                RemoveDirectoryW(path.c_str());
            } else {
                removeFolder(path);
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryW(folder.c_str()) != FALSE;
}

// What a trial has of its own, made together and removed together once the trial has ended.
class TrialPlaces {
public:
    TrialPlaces()
    {
        wchar_t temporary[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
        if (length == 0 || length > MAX_PATH) return;
        static std::atomic<unsigned> trials{0};
        // A number another trial (of this process or one that ended without clearing up) holds is passed over.
        for (int attempt = 0; attempt < 64 && number_ == 0; ++attempt) {
            const std::uint32_t number =
                0x10000000u | ((GetCurrentProcessId() & 0xfffffu) << 8) | (trials.fetch_add(1) & 0xffu);
            const std::wstring folder = std::wstring(temporary) + L"nimbrel-trial-" + std::to_wstring(number);
            if (!CreateDirectoryW(folder.c_str(), nullptr)) continue;
            HKEY key = nullptr;
            DWORD made = 0;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, trialKey(number).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, &made) != ERROR_SUCCESS) {
                RemoveDirectoryW(folder.c_str());
                continue;
            }
            if (made != REG_CREATED_NEW_KEY) {
                RegCloseKey(key);
                RemoveDirectoryW(folder.c_str());
                continue;
            }
            number_ = number;
            folder_ = folder;
            key_ = key;
        }
        if (number_ == 0) return;
        for (const wchar_t* hive : {trialMachineHive, trialUserHive}) {
            HKEY made = nullptr;
            if (RegCreateKeyExW(key_, hive, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &made,
                                nullptr) != ERROR_SUCCESS) {
                return;
            }
            RegCloseKey(made);
        }
        for (const wchar_t* home : {L"\\AppData", L"\\AppData\\Roaming", L"\\AppData\\Local"}) {
            if (!CreateDirectoryW((folder_ + home).c_str(), nullptr)) return;
        }
        desktopName_ = L"Nimbrel trial " + std::to_wstring(number_);
        desktop_ = CreateDesktopW(desktopName_.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ready_ = desktop_ != nullptr;
    }

    ~TrialPlaces()
    {
        if (desktop_ != nullptr) CloseDesktop(desktop_);
        if (key_ != nullptr) {
            RegCloseKey(key_);
            RegDeleteTreeW(HKEY_CURRENT_USER, trialKey(number_).c_str());
        }
        if (folder_.empty()) return;
        // The system lets go of an ended program's file a moment after the process has ended.
        for (int attempt = 0; attempt < 40 && !removeFolder(folder_); ++attempt) Sleep(50);
    }

    TrialPlaces(const TrialPlaces&) = delete;
    TrialPlaces& operator=(const TrialPlaces&) = delete;

    bool ready() const { return ready_; }
    std::uint32_t number() const { return number_; }
    const std::wstring& folder() const { return folder_; }
    std::wstring& desktopName() { return desktopName_; }

private:
    std::uint32_t number_ = 0;
    std::wstring folder_;
    HKEY key_ = nullptr;
    std::wstring desktopName_;
    HDESK desktop_ = nullptr;
    bool ready_ = false;
};

std::wstring nameOf(std::wstring_view variable)
{
    // A current folder of a drive is kept as "=C:=C:\...": its name is "=C:".
    return std::wstring(variable.substr(0, variable.find(L'=', 1)));
}

bool sameName(const std::wstring& one, const std::wstring& other)
{
    return CompareStringOrdinal(one.c_str(), -1, other.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// This process's environment with the trial's homes, its mark and the vendor's server out of reach in place of
// the user's, sorted by name, letter case aside, as the system keeps an environment block.
std::wstring trialEnvironment(const TrialPlaces& places)
{
    const std::wstring appData = places.folder() + L"\\AppData";
    std::vector<std::wstring> own = {
        wide::fromUtf8(trialStartVariable) + L"=" + std::to_wstring(places.number()),
        L"APPDATA=" + appData + L"\\Roaming",
        L"LOCALAPPDATA=" + appData + L"\\Local",
        // A port nothing listens on: an error report the trial would make goes nowhere.
        L"NIMBREL_SERVER=http://127.0.0.1:9",
        L"NIMBREL_PROBE_URL=http://127.0.0.1:9",
    };
    std::vector<std::wstring> variables = own;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
            const std::wstring name = nameOf(entry);
            const bool replaced = std::any_of(own.begin(), own.end(),
                                              [&name](const std::wstring& set) { return sameName(nameOf(set), name); });
            if (!replaced) variables.emplace_back(entry);
        }
        FreeEnvironmentStringsW(block);
    }
    std::sort(variables.begin(), variables.end(), [](const std::wstring& one, const std::wstring& other) {
        return CompareStringOrdinal(nameOf(one).c_str(), -1, nameOf(other).c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    std::wstring environment;
    for (const std::wstring& variable : variables) environment.append(variable).push_back(L'\0');
    environment.push_back(L'\0');
    return environment;
}

// True when the process ended within the limit, with keepWaiting saying to go on each time it was asked.
bool waitFor(HANDLE process, const std::function<bool()>& keepWaiting, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (WaitForSingleObject(process, 10) == WAIT_OBJECT_0) return true;
        if (keepWaiting && !keepWaiting()) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
    }
}

} // namespace

bool startsOnTrial(const std::vector<std::uint8_t>& program, const std::function<bool()>& keepWaiting,
                   std::chrono::milliseconds limit)
{
    TrialPlaces places;
    if (!places.ready()) return false;
    const std::wstring file = places.folder() + L"\\Nimbrel.exe";
    if (!wholefile::replace(file, std::string_view(reinterpret_cast<const char*>(program.data()), program.size())))
        return false;

    std::wstring environment = trialEnvironment(places);
    std::wstring commandLine = L"\"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = places.desktopName().data();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), places.folder().c_str(),
                        &startup, &process)) {
        return false;
    }
    DWORD exitCode = 0;
    if (waitFor(process.hProcess, keepWaiting, limit)) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == places.number();
}

} // namespace nimbrel
