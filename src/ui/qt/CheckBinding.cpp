#include "ui/qt/CheckBinding.h"

#include "core/controls/CheckBoxModel.h"
#include "ui/qt/Bindings.h"

#include <QCheckBox>
#include <QPointer>

namespace nimbrel::view {

namespace {

Qt::CheckState checkState(int value)
{
    switch (value) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

void showState(QCheckBox& box, const CheckBoxModel& model)
{
    const Qt::CheckState state = checkState(model.value());
    // Greyed is a state only the program sets; the user's clicks never pass through it.
    box.setTristate(state == Qt::PartiallyChecked);
    if (box.checkState() != state) box.setCheckState(state);
}

} // namespace

void bindCheck(QCheckBox& box, CheckBoxModel& model)
{
    box.setText(qs(model.caption()));
    showState(box, model);
    QPointer<QCheckBox> guarded(&box);
    model.changed.connect([guarded, &model] {
        if (guarded) showState(*guarded, model);
    });
    // clicked comes only from the user (mouse, space bar, access key), after
    // the box has already turned itself; the model has the last word.
    QObject::connect(&box, &QCheckBox::clicked, &box, [guarded, &model] {
        runUserAction([&] { model.userClick(); });
        if (guarded) showState(*guarded, model);
    });
}

} // namespace nimbrel::view
