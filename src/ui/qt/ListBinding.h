#pragma once

#include <QObject>

class QListWidget;

namespace nimbrel {
class ListModel;
}

namespace nimbrel::view {

// Keeps a list widget in step with a list model. The load sequence adds up
// to a thousand entries one by one, so only the new entries are appended;
// the list is rebuilt only when the model has been cleared. The selection
// goes both ways: the user's choice into the model, the model's into the
// widget without coming back as a user choice.
class ListBinding : public QObject {
    Q_OBJECT
public:
    // Lives as long as the widget, whose child it becomes.
    ListBinding(QListWidget& list, ListModel& model);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followModel();
    void userSelectionChanged();

    QListWidget& list_;
    ListModel& model_;
    bool following_ = false;
    int chosenAtPress_ = -1; // the model's choice when the mouse button went down
};

// Binds the widget to the model for the widget's lifetime.
void bindList(QListWidget& list, ListModel& model);

} // namespace nimbrel::view
