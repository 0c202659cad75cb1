#include "ui/win32/Win32MessageBoxes.h"

#include "platform/windows/WideText.h"
#include "ui/win32/Placement.h"

namespace nimbrel::win32 {

int Win32MessageBoxes::msgBox(const std::string& prompt, int style, const std::string& title)
{
    const HWND owner = owner_ != nullptr && IsWindowVisible(owner_) ? owner_ : nullptr;
    // The classic styles are MessageBoxW's own numbers, buttons, icon and default button
    // alike, and so are its answers. Modal to the whole program, as the classic box was.
    const UINT flags = static_cast<UINT>(style & 0x3FF) | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL);
    // The window the box speaks of is painted before it, at the start as well, and the box opens over it.
    if (owner != nullptr) RedrawWindow(owner, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const CentredNextWindow centred(owner);
    const int answer = MessageBoxW(owner, wide::fromUtf8(prompt).c_str(), wide::fromUtf8(title).c_str(), flags);
    if (answer != 0) return answer;
    // It fails only without memory for the box: the box's way out, Cancel where it has one, else its last button.
    switch (style & 0x0F) {
    case mb::okOnly: return mb::ok;
    case mb::yesNo: return mb::no;
    default: return 2;
    }
}

} // namespace nimbrel::win32
