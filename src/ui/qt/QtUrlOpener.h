#pragma once

#include "core/system/UrlOpener.h"

namespace nimbrel::view {

// Opens addresses with the desktop's browser: QDesktopServices where the outcome does not matter, xdg-open,
// watched to its end, where the user asked for the page and must hear when no browser opened it (and
// QDesktopServices again where there is no xdg-open).
class QtUrlOpener : public UrlOpener {
public:
    void openUrl(const std::string& url) override;
    void openUrl(const std::string& url, std::function<void()> failed) override;
};

} // namespace nimbrel::view
