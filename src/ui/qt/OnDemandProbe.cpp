#include "ui/qt/OnDemandProbe.h"

#include "ui/qt/NetworkModule.h"

namespace nimbrel::view {

bool OnDemandProbe::pageReachable()
{
    if (!made_) made_ = module_.makeProbe(pageUrl_);
    return made_ && made_->pageReachable();
}

} // namespace nimbrel::view
