#pragma once

#include "core/base/Signal.h"

#include <string>
#include <vector>

namespace nimbrel {

// A report-style list of lines, each with an image of the window's image list
// (1, 2, ...) or none (0).
class ListViewModel {
public:
    struct Line {
        std::string text;
        int image = 0;
        friend bool operator==(const Line&, const Line&) = default;
    };

    const std::vector<Line>& lines() const { return lines_; }
    void add(const std::string& text, int image = 0)
    {
        lines_.push_back({text, image});
        changed.emit();
    }
    void clear()
    {
        if (lines_.empty()) return;
        lines_.clear();
        changed.emit();
    }

    Signal<> changed;

private:
    std::vector<Line> lines_;
};

} // namespace nimbrel
