#pragma once

#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

namespace nimbrel::view {

// A child widget of a panel, named for the control it shows and placed at
// its position (pixels, see Twips.h).
template <typename Widget> Widget* place(QWidget& parent, const QString& name, QRect geometry)
{
    auto* widget = new Widget(&parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

// A fixed caption of a panel. Plain text: an "&" is a character here, not an access key.
inline QLabel* placeText(QWidget& parent, const QString& name, const QString& caption, QRect geometry,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter, bool wordWrap = false)
{
    auto* label = place<QLabel>(parent, name, geometry);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setAlignment(alignment);
    label->setWordWrap(wordWrap);
    return label;
}

} // namespace nimbrel::view
