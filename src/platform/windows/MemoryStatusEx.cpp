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
    // Taken as they come, a free figure above its total (Wine reads them from a /proc/meminfo that may say
    // anything) would size a release's block past what memory and the page files can hold.
    return heldToTotals(snapshot);
}

} // namespace nimbrel
