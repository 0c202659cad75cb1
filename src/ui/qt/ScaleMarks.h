#pragma once

class QWidget;

namespace nimbrel {
struct ControlLayout;
class HistoryGraphs;
} // namespace nimbrel

namespace nimbrel::view {

// Builds the four marks of a graph's megabyte scale for a row lnP, lnV (the short lines) or lblP, lblV (their
// captions), named after the row with the mark's index appended, where the graphs' model lays each out; false
// for any other row.
bool buildScaleMarks(QWidget& parent, const ControlLayout& row, HistoryGraphs& graphs);

} // namespace nimbrel::view
