#pragma once

class QTreeWidget;

namespace nimbrel {
class ListViewModel;
}

namespace nimbrel::view {

// Shows the model's lines, each with its image (1 a green tick for progress and good news, 2 a red cross for
// the final negative lines), in a one-column list without header or selection, now and after every change.
// The model must outlive the list.
void bindListView(QTreeWidget& list, ListViewModel& model);

} // namespace nimbrel::view
