#include "core/system/MemoryStatus.h"

namespace nimbrel {

const PagingWords swapWords{"Linux", "there is no swap space", "swap", "no swap", "too little swap"};
const PagingWords pageFileWords{"Windows", "there is no page file", "page file space", "no page file",
                                "too little page file space"};

} // namespace nimbrel
