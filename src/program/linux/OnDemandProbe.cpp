#include "program/linux/OnDemandProbe.h"

#include "program/linux/NetworkModule.h"

namespace nimbrel::program {

bool OnDemandProbe::pageReachable()
{
    if (!made_) made_ = module_.makeProbe(pageUrl_);
    return made_ && made_->pageReachable();
}

} // namespace nimbrel::program
