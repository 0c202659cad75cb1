#pragma once

#include "app/ControlLayout.h"

#include <QString>
#include <QWidget>

#include <string_view>

namespace nimbrel::view {

// Gives a widget its control's row of the layout table: its name, its place
// (pixels, see Twips.h; a drawing surface as large as its raster, a form
// only its size, where it stands is the window manager's), its fixed
// caption, font, colours, alignment and tooltip.
void applyLayout(QWidget& widget, const ControlLayout& layout);

// A name or caption of the layout table as Qt text.
QString layoutText(std::string_view utf8);

template <typename Widget> Widget* laidOut(Widget* widget, std::string_view name, std::string_view form = "frmMain")
{
    applyLayout(*widget, controlLayout(name, form));
    return widget;
}

} // namespace nimbrel::view
