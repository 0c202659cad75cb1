#include "core/controls/LabelModel.h"

namespace nimbrel {

void LabelModel::setCaption(const std::string& caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    changed.emit();
}

void LabelModel::setForeColour(Colour colour)
{
    if (colour == foreColour_) return;
    foreColour_ = colour;
    changed.emit();
}

void LabelModel::setVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    changed.emit();
}

} // namespace nimbrel
