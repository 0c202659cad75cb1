#include "ShellExecuteUrlOpener.h"

#include "WideText.h"

#include <windows.h>
#include <shellapi.h>

namespace nimbrel {

void ShellExecuteUrlOpener::openUrl(const std::string& url)
{
    ShellExecuteW(nullptr, L"open", wide::fromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace nimbrel
