#pragma once

#include "core/system/ProgramExit.h"

namespace nimbrel::win32 {

// Ends the program at once with ExitProcess: no further message of any window and no
// timer tick is handled. Nothing is written at the end: every setting was stored when it changed.
class Win32ProgramExit : public ProgramExit {
public:
    void endNow() override;
};

} // namespace nimbrel::win32
