#include "ui/qt/ListBinding.h"

#include "core/ListModel.h"
#include "ui/qt/Bindings.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QPointer>
#include <QScopedValueRollback>

namespace nimbrel::view {

ListBinding::ListBinding(QListWidget& list, ListModel& model) : QObject(&list), list_(list), model_(model)
{
    list_.setSelectionMode(QAbstractItemView::SingleSelection);
    followModel();
    QPointer<ListBinding> guarded(this);
    model_.changed.connect([guarded] {
        if (guarded) guarded->followModel();
    });
    // The selection, not the current item: focusing the list by keyboard moves
    // the current item to the first entry without the user choosing anything.
    connect(&list_, &QListWidget::itemSelectionChanged, this, [this] { userSelectionChanged(); });
    // A click on the entry already chosen changes no selection, yet it is a
    // click all the same: its handler runs and stores the choice again.
    list_.viewport()->installEventFilter(this);
    connect(&list_, &QListWidget::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == chosenAtPress_) runUserAction([&] { model_.userSelect(index.row()); });
    });
}

bool ListBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) chosenAtPress_ = model_.listIndex();
    return QObject::eventFilter(watched, event);
}

void ListBinding::followModel()
{
    const QScopedValueRollback<bool> following(following_, true);

    const int shown = list_.count();
    const bool stillAPrefix =
        shown <= model_.count() && (shown == 0 || list_.item(shown - 1)->text() == qs(model_.item(shown - 1)));
    if (!stillAPrefix) list_.clear();
    for (int i = list_.count(); i < model_.count(); ++i) list_.addItem(qs(model_.item(i)));

    const int index = model_.listIndex();
    if (index < 0) {
        if (list_.selectionModel()->hasSelection() || list_.currentRow() >= 0) list_.selectionModel()->clear();
        return;
    }
    QListWidgetItem* item = list_.item(index);
    if (list_.currentRow() != index || !item->isSelected()) {
        list_.setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        list_.scrollToItem(item);
    }
}

void ListBinding::userSelectionChanged()
{
    if (following_) return;
    const QModelIndexList rows = list_.selectionModel()->selectedIndexes();
    if (rows.isEmpty()) {
        // A list entry cannot be unchosen; show the model's choice again.
        followModel();
        return;
    }
    const int row = rows.first().row();
    runUserAction([&] { model_.userSelect(row); });
}

void bindList(QListWidget& list, ListModel& model) { new ListBinding(list, model); }

} // namespace nimbrel::view
