#pragma once

#include "core/base/Colour.h"
#include "core/base/Signal.h"

#include <functional>
#include <string>

namespace nimbrel {

// A label: caption, text colour and visibility; clickable where the window
// uses it as a link or a navigation entry.
class LabelModel {
public:
    explicit LabelModel(std::string caption = {}, Colour foreColour = colours::black)
        : caption_(std::move(caption)), foreColour_(foreColour) {}

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);
    Colour foreColour() const { return foreColour_; }
    void setForeColour(Colour colour);
    bool visible() const { return visible_; }
    void setVisible(bool visible);

    void userClick() const
    {
        if (onClick) onClick();
    }

    std::function<void()> onClick;
    Signal<> changed;

private:
    std::string caption_;
    Colour foreColour_;
    bool visible_ = true;
};

} // namespace nimbrel
