#include "core/controls/MenuEntryModel.h"

namespace nimbrel {

void MenuEntryModel::setCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    changed.emit();
}

void MenuEntryModel::setEnabled(bool enabled)
{
    if (enabled == enabled_) return;
    enabled_ = enabled;
    changed.emit();
}

void MenuEntryModel::setVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    changed.emit();
}

} // namespace nimbrel
