#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// An indexed group of menu entries that grows and shrinks at run time;
// element 0 always exists.
class MenuGroupModel {
public:
    explicit MenuGroupModel(std::string firstCaption) : captions_{std::move(firstCaption)} {}

    int count() const { return static_cast<int>(captions_.size()); }
    const std::string& caption(int index) const { return captions_.at(static_cast<std::size_t>(index)); }
    void setCaption(int index, const std::string& caption)
    {
        captions_.at(static_cast<std::size_t>(index)) = caption;
        changed.emit();
    }
    // Destroys every element but the first.
    void truncate()
    {
        captions_.resize(1);
        changed.emit();
    }
    // Creates the next element with its caption.
    void append(const std::string& caption)
    {
        captions_.push_back(caption);
        changed.emit();
    }
    void userClick(int index) const
    {
        if (onClick) onClick(index);
    }

    std::function<void(int)> onClick;
    Signal<> changed;

private:
    std::vector<std::string> captions_;
};

} // namespace nimbrel
