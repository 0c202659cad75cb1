#pragma once

#include <windows.h>

#include <functional>
#include <optional>

namespace nimbrel::win32 {

// Escape and Enter in a top-level window of the program's own, which the message loop's IsDialogMessageW turns
// into the window's WM_COMMAND IDCANCEL and IDOK: Escape runs cancel (none for a window that Escape leaves
// open), Enter clicks the push button that has the keyboard. nullopt for any other command.
std::optional<LRESULT> answerDialogKeys(WPARAM wParam, LPARAM lParam, const std::function<void()>& cancel);

// Enter on the control while it has the keyboard sends its parent the notification a click or a double-click
// sends (STN_CLICKED of a clickable text, LBN_DBLCLK of a list); a text shows a focus rectangle meanwhile, and
// Space clicks it too.
void answerEnterAs(HWND control, WORD notification);

} // namespace nimbrel::win32
