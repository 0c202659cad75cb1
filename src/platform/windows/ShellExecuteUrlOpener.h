#pragma once

#include "core/system/UrlOpener.h"

namespace nimbrel {

// Opens the address with ShellExecuteW, verb "open", shown normally: the user's browser for a web page.
class ShellExecuteUrlOpener : public UrlOpener {
public:
    void openUrl(const std::string& url) override;
    // The shell answers at once: a result of 32 or less is its failure.
    void openUrl(const std::string& url, std::function<void()> failed) override;
};

} // namespace nimbrel
