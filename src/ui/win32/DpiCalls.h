#pragma once

#include <windows.h>

namespace nimbrel::win32::dpi {

// The calls that size the windows at each screen's own dots an inch. Windows 10 (1607) has each of them; on
// Windows 7, 8 and 8.1 they are missing, and these ask what those systems know instead: the screen's one
// setting, and the older ways to say that the program draws at its own size. Looked up when first asked, so that
// the program loads on every system its manifest names.

// The program draws every window at its screen's dots an inch: per monitor (version 2 where the system has it,
// else version 1 on Windows 8.1), or at the system's setting on Windows 7 and 8.
void becomeAware();

// The dots an inch of the window's screen; the system's setting where a window cannot have its own.
UINT forWindow(HWND window);

// GetSystemMetrics at dpi; the system's metric scaled from its own setting where it cannot be asked.
int systemMetric(int index, UINT dpi);

// The outer rectangle of a window whose client area is rect, at dpi.
void adjustWindowRect(RECT& rect, DWORD style, bool menu, DWORD exStyle, UINT dpi);

} // namespace nimbrel::win32::dpi
