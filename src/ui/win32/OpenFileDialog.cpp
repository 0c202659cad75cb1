#include "ui/win32/OpenFileDialog.h"

#include "platform/windows/WideText.h"
#include "ui/win32/Placement.h"

#include <commdlg.h>

namespace nimbrel::win32 {

namespace {

// Centres the dialog over its owner once it has arranged itself (it sizes itself after it first shows).
UINT_PTR CALLBACK centreWhenArranged(HWND hook, UINT message, WPARAM /*wParam*/, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hook, DWLP_USER, static_cast<LONG_PTR>(reinterpret_cast<OPENFILENAMEW*>(lParam)->lCustData));
    } else if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
        centreOn(GetParent(hook), reinterpret_cast<HWND>(GetWindowLongPtrW(hook, DWLP_USER)));
    }
    return 0;
}

} // namespace

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
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    dialog.lpfnHook = centreWhenArranged;
    dialog.lCustData = reinterpret_cast<LPARAM>(dialog.hwndOwner);
    // Cancelled, or failed: either way nothing is chosen.
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return wide::toUtf8(file);
}

} // namespace nimbrel::win32
