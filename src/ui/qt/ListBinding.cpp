#include "ui/qt/ListBinding.h"

#include "core/controls/ListModel.h"
#include "launcher/ProgramEntry.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListItemsModel.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QPointer>
#include <QScopedValueRollback>

namespace nimbrel::view {

namespace {

// Enter or Space on the chosen entry of a list does what a double-click on it does.
class ActivationKeys : public QObject {
public:
    ActivationKeys(QListView& list, ListModel& model) : QObject(&list), model_(model) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (model_.listIndex() >= 0) runUserAction([&] { model_.userDoubleClick(); });
            return true;
        default: return QObject::eventFilter(watched, event);
        }
    }

private:
    ListModel& model_;
};

} // namespace

ListBinding::ListBinding(QListView& list, ListModel& model, ListItemsModel::Look look)
    : QObject(&list), list_(list), model_(model), items_(new ListItemsModel(model, &list, std::move(look)))
{
    list_.setSelectionMode(QAbstractItemView::SingleSelection);
    // Every entry is one line of the same font: the view measures one, not a thousand.
    list_.setUniformItemSizes(true);
    list_.setModel(items_);
    followModel();
    QPointer<ListBinding> guarded(this);
    model_.changed.connect([guarded] {
        if (guarded) guarded->followModel();
    });
    // The selection, not the current item: focusing the list by keyboard moves
    // the current item to the first entry without the user choosing anything.
    connect(list_.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { userSelectionChanged(); });
    // A click on the entry already chosen changes no selection, yet it is a
    // click all the same: its handler runs and stores the choice again.
    list_.viewport()->installEventFilter(this);
    connect(&list_, &QListView::clicked, this, [this](const QModelIndex& index) {
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
    items_->followItems();

    QItemSelectionModel& selection = *list_.selectionModel();
    const int index = model_.listIndex();
    if (index < 0) {
        if (selection.hasSelection() || selection.currentIndex().isValid()) selection.clear();
        return;
    }
    const QModelIndex item = items_->index(index);
    if (selection.currentIndex() != item || !selection.isSelected(item)) {
        selection.setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        list_.scrollTo(item);
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

void bindList(QListView& list, ListModel& model) { new ListBinding(list, model); }

void bindProgramList(QListView& list, ListModel& model)
{
    new ListBinding(list, model,
                    {listedName,
                     [](const std::string& entry) { return programPath(entry).value_or(std::string()); }});
    QObject::connect(&list, &QAbstractItemView::doubleClicked, &list,
                     [&model] { runUserAction([&] { model.userDoubleClick(); }); });
    list.installEventFilter(new ActivationKeys(list, model));
}

} // namespace nimbrel::view
