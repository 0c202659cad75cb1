#pragma once

#include <string>

namespace nimbrel {

class ListModel;

// Applies a stored list position: a number smaller than the list's count is
// selected as the user would (-1 leaves no selection; below -1 is an Invalid
// property value error for the caller's trap); anything else leaves the list
// without a selection.
void applyBoundedPosition(ListModel& list, const std::string& value);

} // namespace nimbrel
