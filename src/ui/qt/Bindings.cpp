#include "ui/qt/Bindings.h"

#include "core/controls/ButtonModel.h"
#include "core/controls/FrameModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/MenuEntryModel.h"
#include "core/controls/MenuGroupModel.h"
#include "core/base/Text.h"
#include "ui/qt/ClickableLabel.h"
#include "ui/qt/Theme.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPointer>

#include <cstdio>
#include <exception>

namespace nimbrel::view {

namespace {

void showLabel(QLabel& label, const LabelModel& model)
{
    label.setText(qs(model.caption()));
    QPalette palette = label.palette();
    const QColor colour = toQColor(model.foreColour());
    if (palette.color(QPalette::WindowText) != colour) {
        palette.setColor(QPalette::WindowText, colour);
        label.setPalette(palette);
        label.update();
    }
    label.setVisible(model.visible());
}

} // namespace

void runUserAction(const std::function<void()>& action) noexcept
{
    try {
        action();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "nimbrel: a user action failed: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "nimbrel: a user action failed\n");
    }
}

void bindLabel(QLabel& label, LabelModel& model)
{
    label.setTextFormat(Qt::PlainText);
    follow(label, model, showLabel);
}

void bindLabel(ClickableLabel& label, LabelModel& model)
{
    bindLabel(static_cast<QLabel&>(label), model);
    QObject::connect(&label, &ClickableLabel::clicked, &label, [&model] { runUserAction([&] { model.userClick(); }); });
}

void bindButton(QAbstractButton& button, ButtonModel& model)
{
    follow(button, model, [](QAbstractButton& b, const ButtonModel& m) {
        b.setText(qs(m.caption()));
        b.setEnabled(m.enabled());
    });
    QObject::connect(&button, &QAbstractButton::clicked, &button,
                     [&model] { runUserAction([&] { model.userClick(); }); });
}

void bindFrame(QGroupBox& frame, FrameModel& model)
{
    follow(frame, model, [](QGroupBox& f, const FrameModel& m) {
        f.setTitle(qs(m.caption()));
        f.setVisible(m.visible());
    });
}

void bindAction(QAction& action, MenuEntryModel& model)
{
    follow(action, model, [](QAction& a, const MenuEntryModel& m) {
        a.setSeparator(m.isSeparator());
        if (!m.isSeparator()) a.setText(qs(m.caption()));
        a.setEnabled(m.enabled());
        a.setVisible(m.visible());
    });
    QObject::connect(&action, &QAction::triggered, &action, [&model] { runUserAction([&] { model.userClick(); }); });
}

void bindMenuGroup(QMenu& menu, MenuGroupModel& group)
{
    follow(menu, group, [](QMenu& m, MenuGroupModel& g) {
        // An entry's own choice may rebuild the menu (a launch's yields let the list be saved meanwhile):
        // the entry whose signal is still being delivered goes once the event loop is back.
        for (QAction* old : m.actions()) {
            m.removeAction(old);
            old->deleteLater();
        }
        for (int i = 0; i < g.count(); ++i) {
            QAction* action = m.addAction(qs(elidedForMenu(g.caption(i))));
            QObject::connect(action, &QAction::triggered, action, [&g, i] { runUserAction([&] { g.userClick(i); }); });
        }
    });
}

} // namespace nimbrel::view
