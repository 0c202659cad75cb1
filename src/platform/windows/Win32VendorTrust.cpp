#include "Win32VendorTrust.h"

#include "CngSignatureCheck.h"
#include "PeProgram.h"
#include "WholeFile.h"
#include "WideText.h"
#include "platform/common/Environment.h"

#include <windows.h>

namespace nimbrel {

Win32VendorTrust::Win32VendorTrust(std::string builtInKey, std::string keyFile)
    : MinisignTrust(std::move(builtInKey), std::move(keyFile), cngSignatureCheck())
{
}

bool Win32VendorTrust::runsHere(const std::vector<std::uint8_t>& package)
{
    return runsLikeProgram(package);
}

bool Win32VendorTrust::startsHere(const std::vector<std::uint8_t>& program)
{
    // The bytes go to a program file of the trial's own in the temporary folder; Windows lets no one change a
    // program file while it runs.
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return false;
    const std::wstring file = std::wstring(folder) + L"nimbrel-trial-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    if (!wholefile::replace(file, std::string_view(reinterpret_cast<const char*>(program.data()), program.size())))
        return false;
    const bool started = startsOnTrial(file);
    DeleteFileW(file.c_str());
    return started;
}

bool Win32VendorTrust::startsOnTrial(const std::wstring& program)
{
    // The trial mark goes to the child through this process's environment, for the moment of the start.
    const std::wstring variable = wide::fromUtf8(trialStartVariable);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableW(variable.c_str(), L"1");
    const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableW(variable.c_str(), nullptr);
    if (!started) return false;
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

std::optional<std::string> Win32VendorTrust::readKeyFile(const std::string& path)
{
    std::string text;
    if (wholefile::read(wide::fromUtf8(path), text) != wholefile::Load::Loaded) return std::nullopt;
    return text;
}

} // namespace nimbrel
