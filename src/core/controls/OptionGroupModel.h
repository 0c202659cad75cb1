#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// A group of option buttons indexed from 0, top first; at most one is set.
// Setting one from code runs the click handler (with its index) when the
// selection changes; a user's click runs it always.
class OptionGroupModel {
public:
    explicit OptionGroupModel(std::vector<std::string> captions) : captions_(std::move(captions)) {}

    int count() const { return static_cast<int>(captions_.size()); }
    const std::string& caption(int index) const { return captions_.at(static_cast<std::size_t>(index)); }
    // The set option, -1 when none is.
    int selected() const { return selected_; }
    bool value(int index) const { return index == selected_; }
    void setValue(int index);
    void userClick(int index);

    std::function<void(int)> onClick;
    Signal<> changed;

private:
    void select(int index, bool always);

    std::vector<std::string> captions_;
    int selected_ = -1;
};

} // namespace nimbrel
