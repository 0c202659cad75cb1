#include "ui/qt/Theme.h"

#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

namespace nimbrel::view {

QFont tahoma(qreal pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QString mainWindowStyleSheet()
{
    const QString column = theme::column.name();
    const QString orange = theme::orange.name();
    return QStringLiteral(R"(
QWidget#clientArea { background: %1; }
QFrame[role="shape"] { background: %2; border: 2px solid %3; border-radius: 7px; }
QGroupBox[role="panel"] {
    background: %4; border: 1px solid #C3CBD6; border-radius: 6px;
    margin-top: 8px; padding-top: 6px; font-weight: bold; color: %2;
}
QGroupBox[role="panel"]::title {
    subcontrol-origin: margin; subcontrol-position: top left; left: 10px; padding: 0 4px;
    background: %4; border-radius: 3px;
}
QGroupBox[role="panel"] QLabel, QGroupBox[role="panel"] QListView { font-weight: normal; }
QLabel#lblAboutName { font-weight: bold; color: %2; }
QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #DDE3EA);
    border: 1px solid #8F9BAA; border-radius: 4px; padding: 2px 6px; color: #1F2D3D;
}
QPushButton:hover { border-color: %3; }
QPushButton:pressed { background: #CDD5DF; }
QPushButton:focus { border: 1px solid %3; }
QPushButton#cmdRam {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFB240, stop:1 %3);
    border: 1px solid #C87800; color: #FFFFFF; font-weight: bold;
}
QPushButton#cmdRam:pressed { background: #E08A00; }
QListView { border: 1px solid #C3CBD6; border-radius: 3px; background: #FFFFFF; }
QListView::item:selected { background: %2; color: #FFFFFF; }
)")
        .arg(theme::clientArea.name(), column, orange, theme::panel.name());
}

namespace {

bool tooWide(const QLabel& label, const QFont& font)
{
    const int room = label.width() - 2 * std::max(label.indent(), 0) - 2 * label.margin();
    return QFontMetrics(font).horizontalAdvance(label.text()) > room;
}

} // namespace

void shrinkToFit(QLabel& label, qreal minimumPointSize)
{
    QFont font = label.font();
    while (font.pointSizeF() > minimumPointSize && tooWide(label, font)) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label.setFont(font);
}

void condenseToFit(QLabel& label)
{
    QFont font = label.font();
    for (int stretch = QFont::Unstretched; stretch > 80 && tooWide(label, font);) {
        stretch -= 5;
        font.setStretch(stretch);
    }
    label.setFont(font);
    shrinkToFit(label);
}

} // namespace nimbrel::view
