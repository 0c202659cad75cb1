#include "ui/qt/GraphsPanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/SurfaceWidget.h"
#include "ui/qt/Twips.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace nimbrel::view {

namespace {

struct Graph {
    QLabel* caption;
    SurfaceWidget* picture;
};

// The caption above, the dark frame around, the raster inside.
Graph graph(QGroupBox& frame, const QString& name, DrawingSurface& surface)
{
    Graph g{};
    g.caption = place<QLabel>(frame, QStringLiteral("lbl%1Graph").arg(name).toStdString());
    place<ShapeFrame>(frame, QStringLiteral("shp%1").arg(name).toStdString());
    g.picture = laidOut(new SurfaceWidget(surface, &frame), QStringLiteral("pic%1").arg(name).toStdString());
    return g;
}

// A short line centred on the height of its mark and the mark's caption centred on it.
void placeMark(const HistoryGraphs::ScaleMark& mark, QLabel& label, QFrame& line, const TwipsRect& lineColumn,
               const TwipsRect& labelColumn)
{
    const int thickness = px(lineColumn.height);
    line.setGeometry(px(lineColumn.left), pixels(mark.lineY) - thickness / 2, px(lineColumn.width), thickness);
    label.setGeometry(px(labelColumn.left), pixels(mark.labelTop), px(labelColumn.width), px(labelColumn.height));
}

void scale(QGroupBox& frame, const QString& prefix, std::array<HistoryGraphs::ScaleMark, 4>& marks,
           std::array<QLabel*, 4>& labels, std::array<QFrame*, 4>& lines)
{
    const std::string lineName = QStringLiteral("ln%1").arg(prefix).toStdString();
    const std::string labelName = QStringLiteral("lbl%1").arg(prefix).toStdString();
    const TwipsRect lineColumn = controlLayout(lineName).place;
    const TwipsRect labelColumn = controlLayout(labelName).place;
    for (std::size_t k = 0; k < marks.size(); ++k) {
        HistoryGraphs::ScaleMark& mark = marks[k];
        auto* line = place<QFrame>(frame, lineName);
        line->setObjectName(QStringLiteral("ln%1%2").arg(prefix).arg(k));
        QLabel* label = place<QLabel>(frame, labelName);
        label->setObjectName(QStringLiteral("lbl%1%2").arg(prefix).arg(k));
        bindLabel(*label, mark.label);
        labels[k] = label;
        lines[k] = line;

        placeMark(mark, *label, *line, lineColumn, labelColumn);
        // The start-up lays the scale out once, writing each caption before
        // the mark's position; the position is read again once that is done.
        mark.label.changed.connect([&mark, guardedLabel = QPointer<QLabel>(label), guardedLine = QPointer<QFrame>(line),
                                    lineColumn, labelColumn] {
            if (!guardedLabel) return;
            QTimer::singleShot(0, guardedLabel.data(), [&mark, guardedLabel, guardedLine, lineColumn, labelColumn] {
                if (guardedLabel && guardedLine) placeMark(mark, *guardedLabel, *guardedLine, lineColumn, labelColumn);
            });
        });
    }
}

} // namespace

GraphsPanel::GraphsPanel(QGroupBox& frame, MainForm& form)
{
    HistoryGraphs& graphs = form.graphs;

    // The graphs' tops are the model's, which lays out the scales against them.
    const Graph physical = graph(frame, QStringLiteral("Physical"), graphs.picPhysical);
    lblPhysicalGraph = physical.caption;
    picPhysical = physical.picture;
    scale(frame, QStringLiteral("P"), graphs.physicalScale, lblP, lnP);

    const Graph pageFile = graph(frame, QStringLiteral("Virtual"), graphs.picVirtual);
    lblVirtualGraph = pageFile.caption;
    picVirtual = pageFile.picture;
    scale(frame, QStringLiteral("V"), graphs.pageFileScale, lblV, lnV);

    lblUpdateGraph = place<QLabel>(frame, "lblUpdateGraph");
    cmbUpdateGraph = place<QComboBox>(frame, "cmbUpdateGraph");
    bindCombo(*cmbUpdateGraph, graphs.cmbUpdateGraph);
}

} // namespace nimbrel::view
