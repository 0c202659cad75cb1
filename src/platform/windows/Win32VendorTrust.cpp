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

bool Win32VendorTrust::startsHere(const std::string& programFile)
{
    // The trial mark goes to the child through this process's environment, for the moment of the start.
    const std::wstring variable = wide::fromUtf8(trialStartVariable);
    const std::wstring program = wide::fromUtf8(programFile);
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
