#include "WideText.h"

#include <windows.h>

namespace nimbrel::wide {

namespace {

std::wstring fromCodePage(UINT codePage, std::string_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

std::wstring fromUtf8(std::string_view text) { return fromCodePage(CP_UTF8, text); }

std::wstring fromAnsi(std::string_view text) { return fromCodePage(CP_ACP, text); }

bool isUtf8(std::string_view text)
{
    return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

std::optional<std::string> toAnsi(std::wstring_view text)
{
    if (text.empty()) return std::string();
    // A system set to UTF-8 as its ANSI code page holds everything (and refuses the substitution flag).
    if (GetACP() == CP_UTF8) return toUtf8(text);
    const int size = static_cast<int>(text.size());
    BOOL substituted = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &substituted);
    if (length <= 0 || substituted) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string toUtf8(std::wstring_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

} // namespace nimbrel::wide
