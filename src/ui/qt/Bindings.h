#pragma once

#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class QAbstractButton;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;

namespace nimbrel {
class ButtonModel;
class FrameModel;
class LabelModel;
class MenuEntryModel;
class MenuGroupModel;
} // namespace nimbrel

namespace nimbrel::view {

class ClickableLabel;

inline QString qs(const std::string& text) { return QString::fromStdString(text); }

// Calls apply(widget, model) now and on each change of the model while the widget lives.
template <typename Widget, typename Model, typename Apply> void follow(Widget& widget, Model& model, Apply apply)
{
    apply(widget, model);
    QPointer<Widget> guarded(&widget);
    model.changed.connect([guarded, &model, apply] {
        if (guarded) apply(*guarded, model);
    });
}

// Runs what a user action asks of the behaviour. The behaviour traps its own
// errors; anything that still escapes must not unwind through Qt's event
// delivery, so it is written to stderr and dropped.
void runUserAction(const std::function<void()>& action) noexcept;

// Each bind function shows the model in the widget now and after every
// change of the model, and passes the user's actions on to the model. The
// model must outlive the widget; the widget may go first.

// Caption, text colour and visibility.
void bindLabel(QLabel& label, LabelModel& model);
// The same, and the user's clicks.
void bindLabel(ClickableLabel& label, LabelModel& model);
// Caption (with its "&" access key) and clicks.
void bindButton(QAbstractButton& button, ButtonModel& model);
// Caption and visibility of a panel's frame.
void bindFrame(QGroupBox& frame, FrameModel& model);
// Caption, separator, enabled, visible, and the user's choice of the entry.
void bindAction(QAction& action, MenuEntryModel& model);
// The entries of a menu made of an indexed group, rebuilt when the group changes.
void bindMenuGroup(QMenu& menu, MenuGroupModel& group);

} // namespace nimbrel::view
