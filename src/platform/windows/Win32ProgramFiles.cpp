#include "Win32ProgramFiles.h"

#include "CngHash.h"
#include "WholeFile.h"
#include "WideText.h"
#include "Win32StagedProgram.h"

#include <windows.h>
#include <bcrypt.h>

#include <optional>

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

// The bytes of a file, opened without following a link or junction planted in its place.
std::optional<std::string> readWithoutLinks(const std::string& path)
{
    const HANDLE file = CreateFileW(wide::fromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information{};
    std::optional<std::string> bytes;
    if (GetFileInformationByHandle(file, &information) &&
        (information.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0) {
        bytes.emplace();
        if (!wholefile::readAll(file, *bytes)) bytes.reset();
    }
    CloseHandle(file);
    return bytes;
}

std::string sha256Hex(const std::string& bytes)
{
    return nimbrel::sha256Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
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

std::unique_ptr<StagedProgram> Win32ProgramFiles::stageProgram(const std::string& path)
{
    auto staged = std::make_unique<Win32StagedProgram>(path);
    if (!staged->made()) return nullptr;
    return staged;
}

std::string Win32ProgramFiles::digest(const std::string& path)
{
    const std::optional<std::string> bytes = readWithoutLinks(path);
    return bytes ? sha256Hex(*bytes) : std::string();
}

bool Win32ProgramFiles::replaceWithCopy(const std::string& source, const std::string& target,
                                        const std::string& digest)
{
    const std::optional<std::string> bytes = readWithoutLinks(source);
    if (!bytes || digest.empty() || sha256Hex(*bytes) != digest) return false;
    const std::wstring targetPath = wide::fromUtf8(target);
    // The file an earlier replacement moved aside; its program has long ended.
    DeleteFileW(asideFor(targetPath).c_str());
    return wholefile::replace(targetPath, *bytes, moveInBesideRunning);
}

} // namespace nimbrel
