#pragma once

#include "ui/qt/ListItemsModel.h"

#include <QObject>

class QListView;

namespace nimbrel {
class ListModel;
}

namespace nimbrel::view {

// Keeps a list view in step with a list model. The load sequence adds up to
// a thousand entries one by one; the view reads them from the model as it
// shows them and keeps no copy. The selection goes both ways: the user's
// choice into the model, the model's into the view without coming back as
// a user choice.
class ListBinding : public QObject {
    Q_OBJECT
public:
    // Lives as long as the widget, whose child it becomes.
    ListBinding(QListView& list, ListModel& model, ListItemsModel::Look look = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followModel();
    void userSelectionChanged();

    QListView& list_;
    ListModel& model_;
    ListItemsModel* items_;
    bool following_ = false;
    int chosenAtPress_ = -1; // the model's choice when the mouse button went down
};

// Binds the widget to the model for the widget's lifetime.
void bindList(QListView& list, ListModel& model);
// A list of the launcher's programs: each row shows the program's name, with its path as the row's tooltip.
// A double-click on an entry (after it is chosen), or Enter or Space on the chosen one, goes to the model as
// its double-click.
void bindProgramList(QListView& list, ListModel& model);

} // namespace nimbrel::view
