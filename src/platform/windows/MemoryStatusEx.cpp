#include "MemoryStatusEx.h"

#include <windows.h>

namespace nimbrel {

MemorySnapshot MemoryStatusEx::read() noexcept
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    MemorySnapshot snapshot;
    if (!GlobalMemoryStatusEx(&status)) return snapshot;
    snapshot.totalPhys = status.ullTotalPhys;
    snapshot.availPhys = status.ullAvailPhys;
    snapshot.totalPageFile = status.ullTotalPageFile;
    snapshot.availPageFile = status.ullAvailPageFile;
    return snapshot;
}

} // namespace nimbrel
