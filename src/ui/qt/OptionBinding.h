#pragma once

#include <QList>

class QAbstractButton;

namespace nimbrel {
class OptionGroupModel;
}

namespace nimbrel::view {

// Binds option buttons, given in the group's order (index 0 first), to the
// group: their captions, the set option (none while the group has none)
// now and after every change, and the user's click on a button, which goes
// to the group as a click on that index. The buttons act as one group of
// their own, whatever their parent; the model must outlive them.
void bindOptions(const QList<QAbstractButton*>& buttons, OptionGroupModel& group);

} // namespace nimbrel::view
