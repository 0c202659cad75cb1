// A profile's file calls on Windows: the volume, file index, size and times of an open handle for the stamp,
// ReadFile for the text, the read-only attribute and a replacement moved over the file for a write.
#include "platform/common/SystemProfileDisk.h"

#include "WholeFile.h"
#include "WideText.h"

#include <windows.h>

#include <system_error>

namespace nimbrel {

namespace {

// 100-nanosecond steps since 1601 to nanoseconds since 1970.
std::int64_t nanosecondsSince1970(std::int64_t steps)
{
    return (steps - 116444736000000000LL) * 100;
}

std::int64_t stepsOf(const FILETIME& time)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

// The stamp of an open file; nothing for anything but a file on a disk.
std::optional<ini::FileStamp> stampOfHandle(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    ini::FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    stamp.modified = nanosecondsSince1970(stepsOf(info.ftLastWriteTime));
    // Where the file system keeps no change time, the write time stands for it.
    stamp.changed = GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times) && times.ChangeTime.QuadPart
                        ? nanosecondsSince1970(times.ChangeTime.QuadPart)
                        : stamp.modified;
    return stamp;
}

HANDLE openShared(const std::string& path, DWORD access)
{
    return CreateFileW(wide::fromUtf8(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

std::optional<ini::FileStamp> SystemProfileDisk::stampOf(const std::string& path)
{
    const HANDLE file = openShared(path, FILE_READ_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<ini::FileStamp> stamp = stampOfHandle(file);
    CloseHandle(file);
    return stamp;
}

// A file that is not there reads as an empty profile. Anything else that cannot be read (a folder in its place,
// no permission, a missing folder on the way) makes the functions give up on the file: defaults on reading,
// failure on writing.
ini::Load SystemProfileDisk::load(const std::string& path, std::string& text, ini::FileStamp& stamp)
{
    const HANDLE file = openShared(path, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? ini::Load::Absent : ini::Load::Unreadable;
    }
    const std::optional<ini::FileStamp> opened = stampOfHandle(file);
    if (opened) stamp = *opened;
    const bool ok = opened && wholefile::readAll(file, text);
    CloseHandle(file);
    return ok ? ini::Load::Loaded : ini::Load::Unreadable;
}

// On Windows the file named is the one replaced.
std::string SystemProfileDisk::writeTarget(const std::string& path)
{
    return path;
}

std::optional<std::string> SystemProfileDisk::writeRefusal(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(wide::fromUtf8(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return "the file is read-only";
    return std::nullopt;
}

std::optional<std::string> SystemProfileDisk::replace(const std::string& path, const std::string& text)
{
    if (wholefile::replace(wide::fromUtf8(path), text)) return std::nullopt;
    return std::system_category().message(static_cast<int>(GetLastError()));
}

} // namespace nimbrel
