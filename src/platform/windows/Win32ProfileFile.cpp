#include "Win32ProfileFile.h"

#include "WideText.h"

#include <windows.h>

#include <mutex>
#include <optional>
#include <string_view>

namespace nimbrel {

namespace {

// The folder part of a path, "." for a bare name.
std::wstring folderOf(const std::wstring& path)
{
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return L".";
    return path.substr(0, separator + 1);
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

// Writes a temporary file beside the target, flushes it and moves it over the target in one step.
bool replaceFile(const std::wstring& target, std::string_view bytes)
{
    wchar_t temporary[MAX_PATH + 1] = {};
    if (!GetTempFileNameW(folderOf(target).c_str(), L"nbl", 0, temporary)) return false;
    const HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    if (ok) {
        ok = writeAll(file, bytes) && FlushFileBuffers(file);
        ok = CloseHandle(file) && ok;
    }
    ok = ok && MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temporary);
    return ok;
}

// One write at a time in this process: each one reads the file, changes one line and replaces the file, and two
// at once would lose one of the changes.
std::mutex writeLock;

} // namespace

Win32ProfileFile::Win32ProfileFile() : cache_(disk_) {}

std::string Win32ProfileFile::readString(const std::string& path, const std::string& section, const std::string& key,
                                         const std::string& defaultValue)
{
    return cache_.read(path, section, key, defaultValue);
}

bool Win32ProfileFile::writeString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& value)
{
    const std::lock_guard<std::mutex> lock(writeLock);
    const std::wstring target = wide::fromUtf8(path);

    const ini::ProfileCache::Edit edit = cache_.edit(path, section, key, value);
    // A file that could not be read is not replaced: the user's other settings in it would be lost.
    if (edit.load == ini::Load::Unreadable) return false;
    // Nor is a read-only file, which the profile functions refuse as well.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (edit.load == ini::Load::Loaded && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }

    // The same value again: the file stays as it is.
    if (!edit.text) return true;
    cache_.forget();
    return replaceFile(target, *edit.text);
}

} // namespace nimbrel
