#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <string>

namespace nimbrel {

// One menu entry: caption ("-" for a separator), enabled, visible, click handler.
class MenuEntryModel {
public:
    explicit MenuEntryModel(std::string caption = {}) : caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool isSeparator() const { return caption_ == "-"; }

    void userClick() const
    {
        if (enabled_ && onClick) onClick();
    }

    std::function<void()> onClick;
    Signal<> changed;

private:
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
};

} // namespace nimbrel
