#include "core/system/MemoryStatus.h"

#include <algorithm>

namespace nimbrel {

MemorySnapshot heldToTotals(MemorySnapshot figures)
{
    figures.availPhys = std::min(figures.availPhys, figures.totalPhys);
    figures.availPageFile = std::min(figures.availPageFile, figures.totalPageFile);
    return figures;
}

const PagingWords swapWords{"Linux", "there is no swap space", "swap", "no swap", "too little swap"};
const PagingWords pageFileWords{"Windows", "there is no page file", "page file space", "no page file",
                                "too little page file space"};

} // namespace nimbrel
