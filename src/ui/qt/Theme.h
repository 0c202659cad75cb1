#pragma once

#include "core/base/Colour.h"

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace nimbrel::view {

// A colour of the 0x00BBGGRR form the layout uses, as Qt wants it.
inline QColor toQColor(Colour colour)
{
    return QColor(red(colour), green(colour), blue(colour));
}

// The main window's colour scheme: a light client area, the banner and the
// navigation column dark so their white text reads, framed in orange.
namespace theme {
inline const QColor clientArea{0xE9, 0xED, 0xF2};
inline const QColor column = toQColor(colours::slate);
inline const QColor panel{0xFF, 0xFF, 0xFF};
inline const QColor chip{0xE9, 0xED, 0xF2}; // behind a dark navigation caption
inline const QColor orange = toQColor(colours::orange);
} // namespace theme

// Tahoma where it is installed; fontconfig picks the nearest sans otherwise.
QFont tahoma(qreal pointSize, bool bold = false);

// The colours of the main window's client area and of the lists and buttons in it.
void applyWindowColours(QWidget& area);

// Makes the label's font smaller, down to a limit, until its text fits its width.
void shrinkToFit(QLabel& label, qreal minimumPointSize = 6.0);
// Makes a word-wrapped label's font smaller, from the font given down to a limit, until its text fits its height.
void shrinkToFitHeight(QLabel& label, const QFont& designed, qreal minimumPointSize = 6.0);
// The same for a long line, narrowing the letters first, down to four
// fifths of their width: narrower letters read better than smaller ones.
void condenseToFit(QLabel& label);

} // namespace nimbrel::view
