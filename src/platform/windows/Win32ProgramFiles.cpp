#include "Win32ProgramFiles.h"

#include "WholeFile.h"
#include "WideText.h"

#include <windows.h>

namespace nimbrel {

namespace {

// The running program's file is in use: renamed aside, it frees its name for the new one, and comes back should
// the new one not get there.
bool moveInBesideRunning(const std::wstring& temporary, const std::wstring& target)
{
    if (wholefile::moveOver(temporary, target)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
    const std::wstring aside = Win32ProgramFiles::asideFor(target);
    if (!MoveFileExW(target.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return false;
    if (wholefile::moveOver(temporary, target)) return true;
    MoveFileExW(aside.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    return false;
}

} // namespace

std::wstring Win32ProgramFiles::asideFor(const std::wstring& target)
{
    std::wstring aside = wholefile::temporaryFor(target);
    aside.replace(aside.size() - 4, 4, L".old");
    return aside;
}

bool Win32ProgramFiles::remove(const std::string& path)
{
    return DeleteFileW(wide::fromUtf8(path).c_str());
}

bool Win32ProgramFiles::folderWritable(const std::string& folder)
{
    // Whether this user may make files there: a file made and deleted at once says so. Folder attributes and
    // access lists would each tell only a part of it.
    const std::wstring probe = wide::fromUtf8(folder) + L"\\.nimbrel-write-test";
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool Win32ProgramFiles::saveProgram(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    return wholefile::replace(wide::fromUtf8(path), std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                                     bytes.size()));
}

bool Win32ProgramFiles::replaceWithCopy(const std::string& source, const std::string& target)
{
    std::string bytes;
    if (wholefile::read(wide::fromUtf8(source), bytes) != wholefile::Load::Loaded) return false;
    const std::wstring targetPath = wide::fromUtf8(target);
    // The file an earlier replacement moved aside; its program has long ended.
    DeleteFileW(asideFor(targetPath).c_str());
    return wholefile::replace(targetPath, bytes, moveInBesideRunning);
}

} // namespace nimbrel
