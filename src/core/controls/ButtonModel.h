#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <string>

namespace nimbrel {

// A command button: a caption (with its "&" access key) and a click handler.
class ButtonModel {
public:
    explicit ButtonModel(std::string caption = {}) : caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption)
    {
        if (caption == caption_) return;
        caption_ = caption;
        changed.emit();
    }
    // A button that is not enabled shows greyed and takes no click.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled)
    {
        if (enabled == enabled_) return;
        enabled_ = enabled;
        changed.emit();
    }
    void userClick() const
    {
        if (enabled_ && onClick) onClick();
    }

    std::function<void()> onClick;
    Signal<> changed;

private:
    std::string caption_;
    bool enabled_ = true;
};

} // namespace nimbrel
