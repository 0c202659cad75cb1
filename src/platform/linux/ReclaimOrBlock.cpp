#include "ReclaimOrBlock.h"

#include "KernelReclaimPass.h"

namespace nimbrel {

std::unique_ptr<RunningPass> ReclaimOrBlock::startPass(const PassRequest& request)
{
    // Reclaimed memory is free memory: there is nothing to keep for a caller that would keep a block.
    if (request.blockOnly || !kernel_.offered()) return block_.startPass(request);
    return std::make_unique<KernelReclaimPass>(kernel_, statusForPass_(), request.targetBytes);
}

} // namespace nimbrel
