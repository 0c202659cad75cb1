#include "ui/win32/ToolTips.h"

#include "platform/windows/WideText.h"

namespace nimbrel::win32 {

ToolTips::~ToolTips()
{
    if (tips_ != nullptr) DestroyWindow(tips_);
}

TTTOOLINFOW ToolTips::tool(HWND control) const
{
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetAncestor(control, GA_ROOT);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

void ToolTips::set(HWND control, const std::string& text)
{
    if (tips_ == nullptr) {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&classes);
        tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, GetAncestor(control, GA_ROOT), nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    const bool known = texts_.count(control) != 0;
    std::wstring& shown = texts_[control];
    const std::wstring wanted = wide::fromUtf8(text);
    if (known && shown == wanted) return;
    shown = wanted;
    TTTOOLINFOW info = tool(control);
    info.lpszText = shown.data();
    SendMessageW(tips_, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring ToolTips::text(HWND control) const
{
    if (tips_ == nullptr || texts_.count(control) == 0) return {};
    wchar_t shown[256] = L"";
    TTTOOLINFOW info = tool(control);
    info.lpszText = shown;
    SendMessageW(tips_, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
    return shown;
}

} // namespace nimbrel::win32
