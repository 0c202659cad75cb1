#include "AppliedValues.h"

#include "core/ListModel.h"
#include "core/Numbers.h"

namespace nimbrel {

void applyBoundedPosition(ListModel& list, const std::string& value)
{
    if (!isNumeric(value)) return;
    const std::int32_t position = toInt32(numericValue(value));
    if (position < list.count()) list.setListIndex(position);
}

} // namespace nimbrel
