#include "ui/qt/ScaleMarks.h"

#include "app/ControlLayout.h"
#include "monitor/HistoryGraphs.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace nimbrel::view {

namespace {

// A short line centred on the height of its mark, or the mark's caption centred on it.
void placeMark(QWidget& shown, const ControlLayout& row, const HistoryGraphs::ScaleMark& mark)
{
    const TwipsRect& column = row.place;
    if (row.kind == ControlKind::Line) {
        const int thickness = px(column.height);
        shown.setGeometry(px(column.left), pixels(mark.lineY) - thickness / 2, px(column.width), thickness);
    } else {
        shown.setGeometry(px(column.left), pixels(mark.labelTop), px(column.width), px(column.height));
    }
}

} // namespace

bool buildScaleMarks(QWidget& parent, const ControlLayout& row, HistoryGraphs& graphs)
{
    if (row.name != "lnP" && row.name != "lnV" && row.name != "lblP" && row.name != "lblV") return false;
    auto& marks = row.name.back() == 'P' ? graphs.physicalScale : graphs.pageFileScale;
    for (std::size_t k = 0; k < marks.size(); ++k) {
        HistoryGraphs::ScaleMark& mark = marks[k];
        QWidget* shown =
            row.kind == ControlKind::Line ? static_cast<QWidget*>(new QFrame(&parent)) : new QLabel(&parent);
        applyLayout(*shown, row);
        shown->setObjectName(layoutText(row.name) + QString::number(k));
        if (auto* label = qobject_cast<QLabel*>(shown)) bindLabel(*label, mark.label);
        placeMark(*shown, row, mark);
        // The start-up lays the scale out once, writing each caption before the mark's position; the position
        // is read again once that is done.
        mark.label.changed.connect([&mark, guarded = QPointer<QWidget>(shown), row] {
            if (!guarded) return;
            QTimer::singleShot(0, guarded.data(), [&mark, guarded, row] {
                if (guarded) placeMark(*guarded, row, mark);
            });
        });
    }
    return true;
}

} // namespace nimbrel::view
