#pragma once

#include <QObject>

class QComboBox;

namespace nimbrel {
class ListModel;
}

namespace nimbrel::view {

class ListItemsModel;

// Keeps a drop-down list in step with a list model, as ListBinding does for
// a list box: the entries are read from the model as the list shows them,
// and the selection goes both ways.
// Only the user's choice reaches the model; a selection made by the model
// is shown without coming back as a choice.
class ComboBinding : public QObject {
    Q_OBJECT
public:
    // The most entries the open list shows at once; it scrolls through the others.
    static constexpr int popupRows = 20;

    // Lives as long as the drop-down list, whose child it becomes.
    ComboBinding(QComboBox& combo, ListModel& model);

private:
    void followModel();
    void userChose(int index);

    QComboBox& combo_;
    ListModel& model_;
    ListItemsModel* items_;
    bool following_ = false;
};

// Binds the drop-down list to the model for the list's lifetime.
void bindCombo(QComboBox& combo, ListModel& model);

} // namespace nimbrel::view
