#pragma once

#include "core/system/MemoryStatus.h"

namespace nimbrel {

// The memory figures from GlobalMemoryStatusEx, 64-bit throughout (the older GlobalMemoryStatus caps
// at 4 GB and wraps beyond it):
//   physical  total ullTotalPhys,     available ullAvailPhys
//   page file total ullTotalPageFile, available ullAvailPageFile
// where the "page file" figures are the commit limit (memory and page files together) and what is left of it.
class MemoryStatusEx : public MemoryStatus {
public:
    // Reads the figures as they are now, none of them available beyond its total; all zero in the unlikely
    // case the system refuses.
    MemorySnapshot read() noexcept override;
    const PagingWords& pagingWords() const override { return pageFileWords; }
};

} // namespace nimbrel
