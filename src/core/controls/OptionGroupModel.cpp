#include "core/controls/OptionGroupModel.h"

#include "core/base/RuntimeError.h"

namespace nimbrel {

void OptionGroupModel::setValue(int index) { select(index, false); }

void OptionGroupModel::userClick(int index) { select(index, true); }

void OptionGroupModel::select(int index, bool always)
{
    // Like a control array: an index with no button behind it is an error.
    if (index < 0 || index >= count()) throw RuntimeError(340, "Control array element does not exist");
    const bool changedNow = index != selected_;
    selected_ = index;
    if (changedNow) changed.emit();
    if ((changedNow || always) && onClick) onClick(index);
}

} // namespace nimbrel
