#include "ui/win32/Win32ProgramExit.h"

#include <windows.h>

namespace nimbrel::win32 {

void Win32ProgramExit::endNow() { ExitProcess(0); }

} // namespace nimbrel::win32
