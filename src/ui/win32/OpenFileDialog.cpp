#include "ui/win32/OpenFileDialog.h"

#include "platform/windows/WideText.h"
#include "ui/win32/Placement.h"

#include <commdlg.h>

namespace nimbrel::win32 {

std::optional<std::string> OpenFileDialog::chooseProgram()
{
    // MAX_PATH characters and the NUL.
    wchar_t file[MAX_PATH + 1] = L"";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_ != nullptr && IsWindow(owner_) ? owner_ : GetActiveWindow();
    dialog.lpstrFilter = L"EXE Files (*.exe)\0*.exe\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    // No hook of the dialog's own: one would bring back the older dialog, without its navigation pane. It
    // is centred as it first shows and may grow a little after that.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    const CentredNextWindow centred(dialog.hwndOwner);
    // Cancelled, or failed: either way nothing is chosen.
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return wide::toUtf8(file);
}

} // namespace nimbrel::win32
