#pragma once

#include "core/system/FileDialog.h"

#include <windows.h>

namespace nimbrel::win32 {

// The system's open-file dialog, for an existing program file.
class OpenFileDialog : public FileDialog {
public:
    std::optional<std::string> chooseProgram() override;

    // The window the dialog is modal to: the launcher's editor while it is open.
    void setOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_ = nullptr;
};

} // namespace nimbrel::win32
