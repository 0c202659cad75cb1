#include "AppliedValues.h"

#include "core/controls/CheckBoxModel.h"
#include "core/controls/ListModel.h"
#include "core/base/Numbers.h"
#include "core/controls/OptionGroupModel.h"
#include "core/base/RuntimeError.h"

namespace nimbrel {

void applyBoundedPosition(ListModel& list, const std::string& value)
{
    if (!isNumeric(value)) return;
    const std::int32_t position = toInt32(numericValue(value));
    if (position < list.count()) list.setListIndex(position);
}

void applyNumericPosition(ListModel& list, const std::string& value, bool otherwiseFirst)
{
    if (isNumeric(value)) {
        list.setListIndex(toInt32(numericValue(value)));
    } else if (otherwiseFirst) {
        list.setListIndex(0);
    }
}

void applyNumericCheck(CheckBoxModel& box, const std::string& value)
{
    if (isNumeric(value)) box.setValue(toInt32(numericValue(value)));
}

void applyNumericOption(OptionGroupModel& group, const std::string& value)
{
    if (isNumeric(value)) group.setValue(toInt32(numericValue(value)));
}

void applyAsIs(ListModel& list, const std::string& value)
{
    list.setListIndex(toInt32(numericValue(value)));
}

void applyAsIs(OptionGroupModel& group, const std::string& value)
{
    group.setValue(toInt32(numericValue(value)));
}

void applyDisplay(OptionGroupModel& group, const std::string& value)
{
    if (!isNumeric(value)) {
        group.setValue(0);
        throw errors::typeMismatch();
    }
    const double mode = numericValue(value);
    group.setValue(mode == 0 ? 0 : mode == 1 ? 1 : 2);
}

} // namespace nimbrel
