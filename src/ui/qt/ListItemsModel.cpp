#include "ui/qt/ListItemsModel.h"

#include "core/controls/ListModel.h"
#include "ui/qt/Bindings.h"

namespace nimbrel::view {

ListItemsModel::ListItemsModel(ListModel& model, QObject* parent, Look look)
    : QAbstractListModel(parent), model_(model), look_(std::move(look))
{
    followItems();
}

int ListItemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant ListItemsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_) return {};
    const std::string& entry = model_.item(index.row());
    if (role == Qt::DisplayRole) return qs(look_.text ? look_.text(entry) : entry);
    if (role == Qt::ToolTipRole && look_.toolTip) {
        const std::string tip = look_.toolTip(entry);
        if (!tip.empty()) return qs(tip);
    }
    return {};
}

void ListItemsModel::followItems()
{
    const int count = model_.count();
    const bool appended = count >= rows_ && (rows_ == 0 || model_.item(rows_ - 1) == last_);
    if (!appended) {
        beginResetModel();
        rows_ = count;
        endResetModel();
    } else if (count > rows_) {
        beginInsertRows(QModelIndex(), rows_, count - 1);
        rows_ = count;
        endInsertRows();
    }
    last_ = rows_ > 0 ? model_.item(rows_ - 1) : std::string();
}

} // namespace nimbrel::view
