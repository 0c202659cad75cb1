#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

class CheckBoxModel;
class LabelModel;
class ListModel;
class StartupOptions;

// The CPU usage the meter last showed: the whole number before the final "%".
int shownCpuUsage(const LabelModel& lblCPU);

// The number of the selected entry of a list of numbers ("30", "60"), 0 without a selection.
int selectedNumber(const ListModel& list);

// Whether the CPU condition holds a due release back: the condition is on
// and the shown usage is at or above the selected threshold (0 without one).
bool cpuHoldsBack(const CheckBoxModel& condition, const ListModel& threshold, const LabelModel& lblCPU);

// The wait before the first pass of a policy's release: "Time to Wait(Seconds)" in milliseconds.
std::uint32_t startupWaitMs(const StartupOptions& startup);

} // namespace nimbrel
