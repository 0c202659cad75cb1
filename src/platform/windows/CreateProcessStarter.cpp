#include "CreateProcessStarter.h"

#include "ShellShortcut.h"
#include "WideText.h"
#include "core/base/RuntimeError.h"

#include <windows.h>

namespace nimbrel {

namespace {

RuntimeError cannotStart() { return RuntimeError(5, "Invalid procedure call or argument"); }

std::wstring folderOf(const std::wstring& path)
{
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

void startProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    // Shown as the user started it, in front: a program started minimised opens behind the window it was
    // chosen in.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        throw cannotStart();
    }
    AllowSetForegroundWindow(process.dwProcessId);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

std::string CreateProcessStarter::executableSuffix()
{
    return ".exe";
}

bool CreateProcessStarter::isOrdinaryFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(wide::fromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

std::optional<std::string> CreateProcessStarter::desktopName(const std::string& path)
{
    const std::wstring file = wide::fromUtf8(path);
    if (!ShellShortcut::named(file) || !ShellShortcut::read(file)) return std::nullopt;
    // A shortcut is known by its own name, as the desktop and the Start menu show it.
    std::wstring name = file.substr(folderOf(file).size());
    name.erase(name.size() - 4);
    // The name stands before "|" in the list: a "|" of its own would cut the entry there.
    for (wchar_t& c : name) {
        if (c == L'|') c = L' ';
    }
    return wide::toUtf8(name);
}

void CreateProcessStarter::start(const std::string& path)
{
    if (!isOrdinaryFile(path)) throw RuntimeError(53, "File not found");
    const std::wstring file = wide::fromUtf8(path);
    if (!ShellShortcut::named(file)) {
        startProcess(file, {}, folderOf(file));
        return;
    }
    const std::optional<ShellShortcut> shortcut = ShellShortcut::read(file);
    if (!shortcut) throw cannotStart();
    if (!isOrdinaryFile(wide::toUtf8(shortcut->program))) throw RuntimeError(53, "File not found");
    startProcess(shortcut->program, shortcut->arguments,
                 shortcut->folder.empty() ? folderOf(shortcut->program) : shortcut->folder);
}

} // namespace nimbrel
