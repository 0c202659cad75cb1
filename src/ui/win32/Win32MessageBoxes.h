#pragma once

#include "core/system/MessageBoxes.h"

#include <windows.h>

namespace nimbrel::win32 {

// Modal message boxes with MessageBoxW, owned by the main window while it is shown.
class Win32MessageBoxes : public MessageBoxes {
public:
    int msgBox(const std::string& prompt, int style, const std::string& title) override;

    void setOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_ = nullptr;
};

} // namespace nimbrel::win32
