#include "ui/qt/GraphsPanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/SurfaceWidget.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include <cmath>

namespace nimbrel::view {

namespace {

// Positions inside the frame, in twips. The graphs' tops are the model's,
// which lays out the scales against them.
constexpr int graphLeft = 240;
constexpr int bezel = 60;
constexpr int graphWidth = HistoryGraphs::samples * DrawingSurface::twipsPerPixel;
constexpr int scaleLineLeft = graphLeft + graphWidth + bezel + 60;
constexpr int scaleLineWidth = 120;
constexpr int scaleLabelLeft = scaleLineLeft + scaleLineWidth + 45;
constexpr int scaleLabelWidth = 960;

int pixels(double twips)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

QLabel* text(QGroupBox& frame, const QString& name, QRect geometry)
{
    auto* label = new QLabel(&frame);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setTextFormat(Qt::PlainText);
    return label;
}

struct Graph {
    QLabel* caption;
    SurfaceWidget* picture;
};

// The caption above, the dark frame around, the raster inside.
Graph graph(QGroupBox& frame, const char* name, const char* caption, DrawingSurface& surface, int top)
{
    Graph g{};
    g.caption = text(frame, QStringLiteral("lbl%1Graph").arg(QLatin1String(name)),
                     twipsRect(180, top - bezel - 255, graphWidth + 2 * bezel, 255));
    g.caption->setText(QString::fromLatin1(caption));

    new ShapeFrame(frame, QStringLiteral("shp%1").arg(QLatin1String(name)),
                   twipsRect(graphLeft - bezel, top - bezel, graphWidth + 2 * bezel,
                             surface.pixelHeight() * DrawingSurface::twipsPerPixel + 2 * bezel));

    g.picture = new SurfaceWidget(surface, &frame);
    g.picture->setObjectName(QStringLiteral("pic%1").arg(QLatin1String(name)));
    g.picture->setGeometry(QRect(QPoint(px(graphLeft), px(top)), g.picture->sizeHint()));
    return g;
}

// A short line at the height of its mark and the mark's caption centred on it.
void placeMark(const HistoryGraphs::ScaleMark& mark, QLabel& label, QFrame& line)
{
    line.setGeometry(px(scaleLineLeft), pixels(mark.lineY), px(scaleLineWidth), 1);
    label.setGeometry(px(scaleLabelLeft), pixels(mark.labelTop), px(scaleLabelWidth),
                      px(HistoryGraphs::scaleLabelHeight));
}

void scale(QGroupBox& frame, const char* prefix, std::array<HistoryGraphs::ScaleMark, 4>& marks,
           std::array<QLabel*, 4>& labels, std::array<QFrame*, 4>& lines)
{
    for (std::size_t k = 0; k < marks.size(); ++k) {
        HistoryGraphs::ScaleMark& mark = marks[k];
        auto* line = new QFrame(&frame);
        line->setObjectName(QStringLiteral("ln%1%2").arg(QLatin1String(prefix)).arg(k));
        line->setAutoFillBackground(true);
        QPalette palette = line->palette();
        palette.setColor(QPalette::Window, theme::column);
        line->setPalette(palette);
        QLabel* label = text(frame, QStringLiteral("lbl%1%2").arg(QLatin1String(prefix)).arg(k), QRect());
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        bindLabel(*label, mark.label);
        labels[k] = label;
        lines[k] = line;

        placeMark(mark, *label, *line);
        // The start-up lays the scale out once, writing each caption before
        // the mark's position; the position is read again once that is done.
        mark.label.changed.connect(
            [&mark, guardedLabel = QPointer<QLabel>(label), guardedLine = QPointer<QFrame>(line)] {
                if (!guardedLabel) return;
                QTimer::singleShot(0, guardedLabel.data(), [&mark, guardedLabel, guardedLine] {
                    if (guardedLabel && guardedLine) placeMark(mark, *guardedLabel, *guardedLine);
                });
            });
    }
}

} // namespace

GraphsPanel::GraphsPanel(QGroupBox& frame, MainForm& form)
{
    HistoryGraphs& graphs = form.graphs;

    const Graph physical =
        graph(frame, "Physical", "Available Physical Memory Graph:", graphs.picPhysical, HistoryGraphs::physicalTop);
    lblPhysicalGraph = physical.caption;
    picPhysical = physical.picture;
    scale(frame, "P", graphs.physicalScale, lblP, lnP);

    const Graph pageFile =
        graph(frame, "Virtual", "Available Page File Memory Graph:", graphs.picVirtual, HistoryGraphs::pageFileTop);
    lblVirtualGraph = pageFile.caption;
    picVirtual = pageFile.picture;
    scale(frame, "V", graphs.pageFileScale, lblV, lnV);

    lblUpdateGraph = text(frame, QStringLiteral("lblUpdateGraph"), twipsRect(180, 3375, 2400, 330));
    lblUpdateGraph->setText(QStringLiteral("Graphs Update Interval"));
    cmbUpdateGraph = new QComboBox(&frame);
    cmbUpdateGraph->setObjectName(QStringLiteral("cmbUpdateGraph"));
    cmbUpdateGraph->setGeometry(twipsRect(2640, 3375, 1800, 330));
    bindCombo(*cmbUpdateGraph, graphs.cmbUpdateGraph);
}

} // namespace nimbrel::view
