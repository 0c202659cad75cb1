#pragma once

#include "app/ControlLayout.h"
#include "app/ControlModels.h"

#include <functional>
#include <string_view>

class QWidget;

namespace nimbrel::view {

// What a form's control is bound to, by its name (see app/ControlModels).
using Models = std::function<ControlModel(std::string_view name)>;
// Builds a row itself and returns true, or leaves it to the builder.
using Special = std::function<bool(QWidget& parent, const ControlLayout& row)>;

// Builds the controls of a form that lie inside frame (a panel, a frame, or the form itself), and the controls
// inside those, as children of parent, in the layout's order, each at its place and bound to its model: panels
// and frames as group boxes, shapes as rounded frames, texts as labels, links as clickable labels, buttons,
// boxes, lists and drawing surfaces as the widgets of those kinds. Every widget is named after its row.
void buildControls(QWidget& parent, std::string_view frame, std::string_view form, const Models& models,
                   const Special& special = {});

} // namespace nimbrel::view
