#pragma once

#include <windows.h>
#include <commctrl.h>

namespace nimbrel::win32 {

// The update's status images at the given size: 1 a green tick (progress and good news), 2 a red cross
// (the final negative lines). The caller destroys the list.
HIMAGELIST makeStatusImages(int size);

} // namespace nimbrel::win32
