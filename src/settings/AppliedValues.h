#pragma once

#include <string>

namespace nimbrel {

class CheckBoxModel;
class ListModel;
class OptionGroupModel;

// How a loader applies a stored value to its control: as the user would, so
// the control's handler runs. A value the control cannot take raises the
// control's run-time error for the loader's trap to report.

// A number smaller than the list's count is selected (-1 selects nothing);
// anything else leaves the list as it is.
void applyBoundedPosition(ListModel& list, const std::string& value);

// A number becomes the list position; anything else leaves it, or selects
// position 0 where otherwiseFirst is set.
void applyNumericPosition(ListModel& list, const std::string& value, bool otherwiseFirst = false);

// A number becomes the check state; anything else leaves it.
void applyNumericCheck(CheckBoxModel& box, const std::string& value);

// A number selects that option; anything else leaves the group.
void applyNumericOption(OptionGroupModel& group, const std::string& value);

// The value is converted and applied without a test (Type mismatch when it is no number).
void applyAsIs(ListModel& list, const std::string& value);
void applyAsIs(OptionGroupModel& group, const std::string& value);

// The display mode: 0 selects option 0, 1 option 1, any other number option 2;
// a value that is no number selects option 0 and is reported (Type mismatch).
void applyDisplay(OptionGroupModel& group, const std::string& value);

} // namespace nimbrel
