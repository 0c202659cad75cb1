#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <string>

namespace nimbrel {

// A check box: 0 unchecked, 1 checked, 2 greyed. Setting the value from code
// runs the click handler when it changes; a user's click toggles and runs it.
class CheckBoxModel {
public:
    explicit CheckBoxModel(std::string caption = {}) : caption_(std::move(caption)) {}

    int value() const { return value_; }
    bool checked() const { return value_ == 1; }
    void setValue(int value);
    void userClick();

    const std::string& caption() const { return caption_; }

    std::function<void()> onClick;
    Signal<> changed;

private:
    std::string caption_;
    int value_ = 0;
};

} // namespace nimbrel
