#pragma once

class QCheckBox;

namespace nimbrel {
class CheckBoxModel;
}

namespace nimbrel::view {

// Shows the check box's caption and its state (0 unchecked, 1 checked, 2
// greyed) now and after every change of the model. A user's click goes to
// the model, which decides the new state; a state set by the model is shown
// without coming back as a click. The model must outlive the check box.
void bindCheck(QCheckBox& box, CheckBoxModel& model);

} // namespace nimbrel::view
