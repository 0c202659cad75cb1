#include "core/controls/CheckBoxModel.h"

#include "core/base/RuntimeError.h"

namespace nimbrel {

void CheckBoxModel::setValue(int value)
{
    if (value < 0 || value > 2) throw errors::invalidPropertyValue();
    if (value == value_) return;
    value_ = value;
    changed.emit();
    if (onClick) onClick();
}

void CheckBoxModel::userClick()
{
    value_ = value_ == 0 ? 1 : 0;
    changed.emit();
    if (onClick) onClick();
}

} // namespace nimbrel
