#include "ui/qt/ComboBinding.h"

#include "core/controls/ListModel.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListItemsModel.h"

#include <QComboBox>
#include <QPointer>
#include <QScopedValueRollback>

namespace nimbrel::view {

ComboBinding::ComboBinding(QComboBox& combo, ListModel& model)
    : QObject(&combo), combo_(combo), model_(model), items_(new ListItemsModel(model, &combo))
{
    combo_.setEditable(false);
    combo_.setModel(items_);
    // A list that opens as a menu over the whole screen (the style's popup, which shows every entry) is no use
    // for a thousand amounts: a scrolled list of at most popupRows rows, opened on the current entry.
    combo_.setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    combo_.setMaxVisibleItems(popupRows);
    followModel();
    QPointer<ComboBinding> guarded(this);
    model_.changed.connect([guarded] {
        if (guarded) guarded->followModel();
    });
    // activated, not currentIndexChanged: only the user's choice, by mouse,
    // keyboard or wheel, and also when the chosen entry was already shown.
    connect(&combo_, &QComboBox::activated, this, [this](int index) { userChose(index); });
}

void ComboBinding::followModel()
{
    const QScopedValueRollback<bool> following(following_, true);
    items_->followItems();

    // The first entry added to an empty drop-down list becomes its current
    // one by itself; the model's choice, none included, is what shows.
    const int index = model_.listIndex();
    if (combo_.currentIndex() != index) combo_.setCurrentIndex(index);
}

void ComboBinding::userChose(int index)
{
    if (following_) return;
    runUserAction([&] { model_.userSelect(index); });
    // The handler may have chosen otherwise, or failed; show what the model holds.
    followModel();
}

void bindCombo(QComboBox& combo, ListModel& model)
{
    new ComboBinding(combo, model);
}

} // namespace nimbrel::view
