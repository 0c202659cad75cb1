#pragma once

#include "core/base/Signal.h"

#include <string>

namespace nimbrel {

// The main window as the behaviour sees it: caption, shown or hidden,
// minimised or not. The view mirrors it; bringing it to the front is a
// request the view carries out.
class WindowModel {
public:
    explicit WindowModel(std::string caption = {}) : caption_(std::move(caption)) {}

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption)
    {
        if (caption == caption_) return;
        caption_ = caption;
        changed.emit();
    }
    bool shown() const { return shown_; }
    void show() { setShown(true); }
    void hide() { setShown(false); }
    bool minimised() const { return minimised_; }
    void setMinimised(bool minimised)
    {
        if (minimised == minimised_) return;
        minimised_ = minimised;
        changed.emit();
    }
    // Shows the window, restores it when minimised and makes it the foreground window.
    void bringToFront()
    {
        show();
        setMinimised(false);
        raiseRequested.emit();
    }

    Signal<> changed;
    Signal<> raiseRequested;

private:
    void setShown(bool shown)
    {
        if (shown == shown_) return;
        shown_ = shown;
        changed.emit();
    }

    std::string caption_;
    bool shown_ = false;
    bool minimised_ = false;
};

} // namespace nimbrel
