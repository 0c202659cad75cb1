#include "ShellExecuteUrlOpener.h"

#include "WideText.h"

#include <windows.h>
#include <shellapi.h>

namespace nimbrel {

void ShellExecuteUrlOpener::openUrl(const std::string& url) { openUrl(url, [] {}); }

void ShellExecuteUrlOpener::openUrl(const std::string& url, std::function<void()> failed)
{
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide::fromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) failed();
}

} // namespace nimbrel
