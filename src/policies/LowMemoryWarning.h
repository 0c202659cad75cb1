#pragma once

#include <cstdint>

namespace nimbrel {

class CheckBoxModel;
class MessageBoxes;

// The warning both release policies give when available memory falls under
// 20 % of the total: three warnings, then the question whether to disable
// them. The count is shared by both policies for the whole run.
class LowMemoryWarning {
public:
    // chkLowLevel checked means no warnings.
    LowMemoryWarning(MessageBoxes& messages, CheckBoxModel& chkLowLevel);

    // Warns when due. Returns false when another warning's box is still open:
    // the caller's tick then ends at once, so boxes never stack up.
    bool check(std::int32_t availableMB, std::int32_t totalPhysicalMB);

    int warningCount() const { return warningCount_; }

private:
    MessageBoxes& messages_;
    CheckBoxModel& chkLowLevel_;
    int warningCount_ = 0;
    bool boxOpen_ = false;
};

} // namespace nimbrel
