#pragma once

#include "core/controls/LabelModel.h"
#include "core/controls/ListModel.h"
#include "core/system/MemoryStatus.h"
#include "core/base/Signal.h"

#include <cstdint>

namespace nimbrel {

class ErrorReporter;

// The machine's totals, the two total labels and the five lists of release
// amounts offered on the panels. The totals are measured at start-up and
// follow the system from then on (swap added or removed, a memory cgroup's
// limit changed), each time from the same reading as the figures they divide;
// the lists keep the amounts of the start.
class AmountLists {
public:
    // Amount lists never go past this many entries of 2 MB each.
    static constexpr int maxEntries = 1000;

    AmountLists(MemoryStatus& status, ErrorReporter& reporter);

    // Measures the totals and writes the total labels.
    void initMemory();
    // Takes the totals of a reading; when they changed, the labels show them and totalsChanged is raised.
    void followTotals(const MemorySnapshot& memory);
    // Fills the five amount lists from the total physical memory.
    void fillLists();

    // Whole megabytes plus one, of the latest reading.
    std::int32_t totalPhysicalMB() const { return totalPhysicalMB_; }
    std::int32_t totalPageFileMB() const { return totalPageFileMB_; }

    static constexpr const char* physicalCaption = "Total Physical Memory:";
    static constexpr const char* pageFileCaption = "Total Page File Memory:";
    LabelModel lblPM{physicalCaption};
    LabelModel lblVM{pageFileCaption};
    ListModel lstRam;
    ListModel cmbStartupRam;
    ListModel lstTimeAmount;
    ListModel lstAutoAmount;
    ListModel cmbAutoRelease;
    // The totals changed after start-up.
    Signal<> totalsChanged;

private:
    MemoryStatus& status_;
    ErrorReporter& reporter_;
    std::int32_t totalPhysicalMB_ = 0;
    std::int32_t totalPageFileMB_ = 0;
    std::uint64_t totalPhysBytes_ = 0;
    std::uint64_t totalPageFileBytes_ = 0;
};

} // namespace nimbrel
