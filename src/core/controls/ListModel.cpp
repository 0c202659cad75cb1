#include "core/controls/ListModel.h"

#include "core/base/RuntimeError.h"

namespace nimbrel {

void ListModel::addItem(const std::string& text)
{
    items_.push_back(text);
    changed.emit();
}

void ListModel::removeItem(int index)
{
    if (index < 0 || index >= count()) throw errors::invalidPropertyValue();
    items_.erase(items_.begin() + index);
    listIndex_ = -1;
    changed.emit();
}

void ListModel::clear()
{
    items_.clear();
    listIndex_ = -1;
    changed.emit();
}

const std::string& ListModel::item(int index) const
{
    if (index < 0 || index >= count()) throw errors::invalidPropertyValue();
    return items_[static_cast<std::size_t>(index)];
}

void ListModel::setListIndex(int index) { select(index, false); }

void ListModel::userSelect(int index) { select(index, true); }

std::string ListModel::text() const
{
    return listIndex_ < 0 ? std::string() : items_[static_cast<std::size_t>(listIndex_)];
}

void ListModel::select(int index, bool always)
{
    if (index < -1 || index >= count()) throw errors::invalidPropertyValue();
    const bool changedNow = index != listIndex_;
    listIndex_ = index;
    if (changedNow) changed.emit();
    if ((changedNow || always) && onClick) onClick();
}

} // namespace nimbrel
