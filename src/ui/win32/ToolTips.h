#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

namespace nimbrel::win32 {

// The tooltips of one window's controls: one system tooltip control, a text for each control
// that has one, shown while the mouse rests on the control.
class ToolTips {
public:
    ToolTips() = default;
    ~ToolTips();
    ToolTips(const ToolTips&) = delete;
    ToolTips& operator=(const ToolTips&) = delete;

    // The control's tooltip from now on; an empty text shows none.
    void set(HWND control, const std::string& text);
    // The text the control's tooltip shows.
    std::wstring text(HWND control) const;

private:
    TTTOOLINFOW tool(HWND control) const;

    HWND tips_ = nullptr;
    std::map<HWND, std::wstring> texts_;
};

} // namespace nimbrel::win32
