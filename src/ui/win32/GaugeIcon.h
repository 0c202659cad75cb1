#pragma once

#include <windows.h>

namespace nimbrel::win32 {

// The tray icon as a gauge: the program's icon on the left, a bar on the right filled from the bottom to the
// percent of physical memory available, red under 20 %. size is the icon's width and height in pixels; the
// caller destroys the icon.
HICON drawGaugeIcon(int percent, int size);

} // namespace nimbrel::win32
