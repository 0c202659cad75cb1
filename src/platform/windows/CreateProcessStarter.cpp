#include "CreateProcessStarter.h"

#include "WideText.h"
#include "core/RuntimeError.h"

#include <windows.h>

namespace nimbrel {

std::string CreateProcessStarter::executableSuffix()
{
    return ".exe";
}

bool CreateProcessStarter::isOrdinaryFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(wide::fromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

std::optional<std::string> CreateProcessStarter::desktopName(const std::string&)
{
    return std::nullopt;
}

void CreateProcessStarter::start(const std::string& path)
{
    if (!isOrdinaryFile(path)) throw RuntimeError(53, "File not found");
    const std::wstring program = wide::fromUtf8(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::size_t separator = program.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? std::wstring() : program.substr(0, separator + 1);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        throw RuntimeError(5, "Invalid procedure call or argument");
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace nimbrel
