#pragma once

#include "core/UrlOpener.h"

namespace nimbrel::view {

// Opens addresses with the desktop's browser (xdg-open behind QDesktopServices).
class QtUrlOpener : public UrlOpener {
public:
    void openUrl(const std::string& url) override;
};

} // namespace nimbrel::view
