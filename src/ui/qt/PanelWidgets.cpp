#include "ui/qt/PanelWidgets.h"

#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <cmath>

namespace nimbrel::view {

namespace {

QFont fontOf(const FontLayout& layout, QFont font)
{
    if (!layout.face.empty()) font = tahoma(layout.points * layoutScale(), layout.bold);
    if (layout.bold) font.setBold(true);
    if (layout.underline) font.setUnderline(true);
    return font;
}

Qt::Alignment alignmentOf(const ControlLayout& layout)
{
    const Qt::Alignment horizontal = layout.align == HorizontalAlign::Centre  ? Qt::AlignHCenter
                                     : layout.align == HorizontalAlign::Right ? Qt::AlignRight
                                                                              : Qt::AlignLeft;
    const Qt::Alignment vertical = layout.verticalAlign == VerticalAlign::Top      ? Qt::AlignTop
                                   : layout.verticalAlign == VerticalAlign::Bottom ? Qt::AlignBottom
                                                                                   : Qt::AlignVCenter;
    return horizontal | vertical;
}

void colour(QWidget& widget, QPalette::ColorRole role, const std::optional<Colour>& colour)
{
    if (!colour) return;
    QPalette palette = widget.palette();
    palette.setColor(role, toQColor(*colour));
    widget.setPalette(palette);
}

} // namespace

QString layoutText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void applyLayout(QWidget& widget, const ControlLayout& layout)
{
    widget.setObjectName(layoutText(layout.name));
    const QRect place = twipsRect(layout.place);
    switch (layout.kind) {
    case ControlKind::Window:
        widget.resize(place.size());
        break;
    case ControlKind::Surface: {
        // As large as its raster, at the layout's scale.
        const QSize raster = widget.sizeHint();
        widget.setGeometry(QRect(place.topLeft(), QSize(static_cast<int>(std::lround(raster.width() * layoutScale())),
                                                        static_cast<int>(std::lround(raster.height() * layoutScale())))));
        break;
    }
    default:
        widget.setGeometry(place);
    }
    if (layout.font != FontLayout{}) widget.setFont(fontOf(layout.font, widget.font()));
    if (!layout.toolTip.empty()) widget.setToolTip(layoutText(layout.toolTip));

    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(alignmentOf(layout));
        label->setWordWrap(layout.wordWrap);
        if (!layout.caption.empty()) label->setText(layoutText(layout.caption));
        colour(*label, QPalette::WindowText, layout.foreColour);
        colour(*label, QPalette::Window, layout.backColour);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        if (!layout.caption.empty()) button->setText(layoutText(layout.caption));
        colour(*button, QPalette::ButtonText, layout.foreColour);
        colour(*button, QPalette::Button, layout.backColour);
    } else if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
        if (!layout.caption.empty()) frame->setTitle(layoutText(layout.caption));
    } else if (layout.kind == ControlKind::Line) {
        widget.setAutoFillBackground(true);
        colour(widget, QPalette::Window, layout.foreColour);
    } else {
        colour(widget, QPalette::WindowText, layout.foreColour);
        colour(widget, QPalette::Window, layout.backColour);
    }
}

} // namespace nimbrel::view
