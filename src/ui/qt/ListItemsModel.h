#pragma once

#include <QAbstractListModel>

#include <string>

namespace nimbrel {
class ListModel;
}

namespace nimbrel::view {

// The entries of a list model as Qt's item views read them, each made when a
// view asks for it: a list of a thousand amounts costs the views nothing
// beyond the model's own texts. Entries the model appends are announced as
// appended; a model cleared or filled anew is announced as a new list.
class ListItemsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // Lives as long as its parent; the model must outlive it.
    ListItemsModel(ListModel& model, QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Catches up with the model's entries; the bindings call it before they show a selection.
    void followItems();

private:
    ListModel& model_;
    int rows_ = 0;
    std::string last_; // the last entry announced, to tell an append from a new list
};

} // namespace nimbrel::view
