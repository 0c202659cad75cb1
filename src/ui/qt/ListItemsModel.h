#pragma once

#include <QAbstractListModel>

#include <functional>
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
    // How an entry shows: the text of its row and the row's tooltip (none when empty).
    struct Look {
        std::function<std::string(const std::string&)> text;
        std::function<std::string(const std::string&)> toolTip;
    };

    // Lives as long as its parent; the model must outlive it. Without a look each entry shows as it is.
    ListItemsModel(ListModel& model, QObject* parent, Look look = {});

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Catches up with the model's entries; the bindings call it before they show a selection.
    void followItems();

private:
    ListModel& model_;
    Look look_;
    int rows_ = 0;
    std::string last_; // the last entry announced, to tell an append from a new list
};

} // namespace nimbrel::view
