#pragma once

#include <string>

namespace nimbrel {

class LabelModel;
class ListModel;

// The CPU usage the meter last showed: the whole number before the final "%".
int shownCpuUsage(const LabelModel& lblCPU);

// The number of the selected entry of a list of numbers ("30", "60"), 0 without a selection.
int selectedNumber(const ListModel& list);

} // namespace nimbrel
