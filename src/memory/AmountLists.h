#pragma once

#include "core/LabelModel.h"
#include "core/ListModel.h"
#include "core/MemoryStatus.h"

#include <cstdint>

namespace nimbrel {

class ErrorReporter;

// The machine's totals, measured once at start-up, the two total labels and
// the five lists of release amounts offered on the panels.
class AmountLists {
public:
    // Amount lists never go past this many entries of 2 MB each.
    static constexpr int maxEntries = 1000;

    AmountLists(MemoryStatus& status, ErrorReporter& reporter);

    // Measures the totals and writes the total labels.
    void initMemory();
    // Fills the five amount lists from the total physical memory.
    void fillLists();

    // Whole megabytes plus one, as measured by initMemory.
    std::int32_t totalPhysicalMB() const { return totalPhysicalMB_; }
    std::int32_t totalPageFileMB() const { return totalPageFileMB_; }

    LabelModel lblPM{"Total Physical Memory:"};
    LabelModel lblVM{"Total Page File Memory:"};
    ListModel lstRam;
    ListModel cmbStartupRam;
    ListModel lstTimeAmount;
    ListModel lstAutoAmount;
    ListModel cmbAutoRelease;

private:
    MemoryStatus& status_;
    ErrorReporter& reporter_;
    std::int32_t totalPhysicalMB_ = 0;
    std::int32_t totalPageFileMB_ = 0;
};

// The amount of an entry: the whole number before its first blank ("16 MB" -> 16).
std::int32_t entryAmountMB(const std::string& entry);

} // namespace nimbrel
