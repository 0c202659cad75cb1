#include "WholeFile.h"

#include <windows.h>

#include <cstdint>
#include <cwctype>
#include <mutex>

namespace nimbrel::wholefile {

namespace {

std::size_t nameStart(const std::wstring& path)
{
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Two replacements at once in this process could pass one temporary between them.
std::mutex replacing;

} // namespace

Load read(const std::wstring& path, std::string& bytes, std::size_t maxBytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Load::Absent : Load::Unreadable;
    }
    const bool ok = GetFileType(file) == FILE_TYPE_DISK && readAll(file, bytes, maxBytes);
    CloseHandle(file);
    return ok ? Load::Loaded : Load::Unreadable;
}

bool readAll(void* file, std::string& bytes, std::size_t maxBytes)
{
    bytes.clear();
    char chunk[65536];
    for (DWORD n = 0; bytes.size() < maxBytes;) {
        const std::size_t wanted = maxBytes - bytes.size() < sizeof chunk ? maxBytes - bytes.size() : sizeof chunk;
        if (!ReadFile(file, chunk, static_cast<DWORD>(wanted), &n, nullptr)) return false;
        if (n == 0) return true;
        bytes.append(chunk, n);
    }
    return true;
}

std::wstring temporaryFor(const std::wstring& target)
{
    // A short name whatever the target's length (its own name may be as long as a name can be), told apart from
    // the temporaries of the other files in the folder by a hash of the target's name, which the system compares
    // without regard to letter case.
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = nameStart(target); i < target.size(); ++i) {
        hash = (hash ^ static_cast<std::uint32_t>(std::towlower(target[i]))) * 16777619u;
    }
    wchar_t name[24];
    swprintf(name, sizeof name / sizeof name[0], L"~nbl%08x.tmp", static_cast<unsigned>(hash));
    return target.substr(0, nameStart(target)) + name;
}

bool moveOver(const std::wstring& temporary, const std::wstring& target)
{
    return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool replace(const std::wstring& target, std::string_view bytes, MoveIn moveIn)
{
    const std::lock_guard<std::mutex> lock(replacing);
    const std::wstring temporary = temporaryFor(target);
    // CREATE_ALWAYS empties a leftover of an earlier crash; a read-only one would refuse.
    SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = writeAll(file, bytes) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && moveIn(temporary, target);
    if (!ok) {
        // The caller tells the user why the write failed: the clean-up must not change the reason.
        const DWORD reason = GetLastError();
        DeleteFileW(temporary.c_str());
        SetLastError(reason);
    }
    return ok;
}

} // namespace nimbrel::wholefile
