#pragma once

#include "core/UrlOpener.h"

namespace nimbrel {

// Opens the address with ShellExecuteW, verb "open", shown normally: the user's browser for a web page.
class ShellExecuteUrlOpener : public UrlOpener {
public:
    void openUrl(const std::string& url) override;
};

} // namespace nimbrel
