#pragma once

#include "core/base/Signal.h"

#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

// A list box or drop-down list: items and the selected position (-1 for none).
// Selecting from code runs the click handler when the position changes; a
// user's selection runs it always. A position below -1 or past the last item
// is "Invalid property value" (380).
class ListModel {
public:
    void addItem(const std::string& text);
    // Removes the item at index; the list then has no selection.
    void removeItem(int index);
    void clear();
    int count() const { return static_cast<int>(items_.size()); }
    const std::string& item(int index) const;
    const std::vector<std::string>& items() const { return items_; }

    int listIndex() const { return listIndex_; }
    void setListIndex(int index);
    // The text of the selected item, empty without a selection.
    std::string text() const;

    // What the view calls when the user picks an item.
    void userSelect(int index);
    // What the view calls when the user double-clicks an item (after picking it).
    void userDoubleClick() const
    {
        if (onDblClick) onDblClick();
    }

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    Signal<> changed; // items or selection changed

private:
    void select(int index, bool always);

    std::vector<std::string> items_;
    int listIndex_ = -1;
};

} // namespace nimbrel
