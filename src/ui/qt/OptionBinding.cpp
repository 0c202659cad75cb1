#include "ui/qt/OptionBinding.h"

#include "core/controls/OptionGroupModel.h"
#include "ui/qt/Bindings.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPointer>

namespace nimbrel::view {

namespace {

void showSelection(QButtonGroup& buttons, const OptionGroupModel& group)
{
    const int selected = group.selected();
    QAbstractButton* const wanted = buttons.button(selected); // none for -1
    QAbstractButton* const shown = buttons.checkedButton();
    if (wanted == shown) return;
    if (wanted != nullptr) {
        wanted->setChecked(true);
        return;
    }
    // An exclusive group keeps one button set; letting go of exclusivity
    // for a moment is the only way to show that none is.
    buttons.setExclusive(false);
    shown->setChecked(false);
    buttons.setExclusive(true);
}

} // namespace

void bindOptions(const QList<QAbstractButton*>& buttons, OptionGroupModel& group)
{
    if (buttons.isEmpty()) return;
    // Arrow keys move between the buttons of an exclusive group and click
    // the one they reach, as they did between the classic option buttons.
    auto* exclusive = new QButtonGroup(buttons.first());
    exclusive->setExclusive(true);
    for (int i = 0; i < buttons.size(); ++i) {
        QAbstractButton* const button = buttons.at(i);
        if (i < group.count()) button->setText(qs(group.caption(i)));
        exclusive->addButton(button, i);
    }

    showSelection(*exclusive, group);
    QPointer<QButtonGroup> guarded(exclusive);
    group.changed.connect([guarded, &group] {
        if (guarded) showSelection(*guarded, group);
    });
    // idClicked comes only from the user; the button has already set itself.
    QObject::connect(exclusive, &QButtonGroup::idClicked, exclusive, [guarded, &group](int index) {
        runUserAction([&] { group.userClick(index); });
        if (guarded) showSelection(*guarded, group);
    });
}

} // namespace nimbrel::view
