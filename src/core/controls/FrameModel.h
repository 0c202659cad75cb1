#pragma once

#include "core/base/Signal.h"

#include <string>

namespace nimbrel {

// A frame that holds one panel's controls; only its visibility changes.
class FrameModel {
public:
    explicit FrameModel(std::string caption = {}, bool visible = false)
        : caption_(std::move(caption)), visible_(visible) {}

    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    void setVisible(bool visible)
    {
        if (visible == visible_) return;
        visible_ = visible;
        changed.emit();
    }

    Signal<> changed;

private:
    std::string caption_;
    bool visible_;
};

} // namespace nimbrel
