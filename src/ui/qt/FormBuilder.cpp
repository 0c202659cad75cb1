#include "ui/qt/FormBuilder.h"

#include "core/controls/LabelModel.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/CheckBinding.h"
#include "ui/qt/ClickableLabel.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/ListViewBinding.h"
#include "ui/qt/NavigationLabel.h"
#include "ui/qt/OptionBinding.h"
#include "ui/qt/PanelFrame.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/SurfaceWidget.h"
#include "ui/qt/Theme.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace nimbrel::view {

namespace {

class Builder {
public:
    Builder(std::string_view form, const Models& models, const Special& special)
        : form_(form), models_(models), special_(special)
    {
    }

    void buildRows(QWidget& parent, std::string_view frame)
    {
        for (const ControlLayout* row : controlsIn(frame, form_)) {
            if (!special_ || !special_(parent, *row)) buildRow(parent, *row);
        }
    }

    // The option buttons of each group act as one, once all of them are made.
    void bindOptionGroups()
    {
        for (const auto& [group, buttons] : groups_)
            bindOptions(buttons, *group);
    }

private:
    template <typename Widget, typename... Model>
    static Widget* make(QWidget& parent, const ControlLayout& row, Model&... model)
    {
        auto* widget = new Widget(model..., &parent);
        applyLayout(*widget, row);
        return widget;
    }

    void buildRow(QWidget& parent, const ControlLayout& row)
    {
        const ControlModel model = models_(row.name);
        switch (row.kind) {
        case ControlKind::Panel: {
            auto* panel = make<PanelFrame>(parent, row);
            bindFrame(*panel, *std::get<FrameModel*>(model));
            buildRows(*panel, row.name);
            return;
        }
        case ControlKind::Frame:
            buildRows(*make<QGroupBox>(parent, row), row.name);
            return;
        case ControlKind::Shape:
            make<ShapeFrame>(parent, row);
            return;
        case ControlKind::Line:
            make<QFrame>(parent, row);
            return;
        case ControlKind::Label:
            buildLabel(*make<QLabel>(parent, row), row, model);
            return;
        case ControlKind::Link:
            buildLink(parent, row, *std::get<LabelModel*>(model));
            return;
        case ControlKind::Button: {
            auto* button = make<QPushButton>(parent, row);
            // The main window's own buttons and its accent button show a hand over them.
            if (row.form == "frmMain" && (row.frame == row.form || row.backColour))
                button->setCursor(Qt::PointingHandCursor);
            bindButton(*button, *std::get<ButtonModel*>(model));
            return;
        }
        case ControlKind::Check:
            bindCheck(*make<QCheckBox>(parent, row), *std::get<CheckBoxModel*>(model));
            return;
        case ControlKind::Option: {
            const OptionOf option = std::get<OptionOf>(model);
            auto group =
                std::find_if(groups_.begin(), groups_.end(), [&](const auto& g) { return g.first == option.group; });
            if (group == groups_.end()) group = groups_.insert(group, {option.group, {}});
            auto& buttons = group->second;
            buttons.resize(std::max<qsizetype>(buttons.size(), option.index + 1));
            buttons[option.index] = make<QRadioButton>(parent, row);
            return;
        }
        case ControlKind::List: {
            auto* list = make<QListView>(parent, row);
            ListModel& items = *std::get<ListModel*>(model);
            if (listsPrograms(row.name)) {
                bindProgramList(*list, items);
                return;
            }
            list->setUniformItemSizes(true); // up to a thousand entries of one height
            bindList(*list, items);
            return;
        }
        case ControlKind::Combo:
            bindCombo(*make<QComboBox>(parent, row), *std::get<ListModel*>(model));
            return;
        case ControlKind::Surface:
            make<SurfaceWidget>(parent, row, *std::get<DrawingSurface*>(model));
            return;
        case ControlKind::ListView:
            bindListView(*make<QTreeWidget>(parent, row), *std::get<ListViewModel*>(model));
            return;
        case ControlKind::StatusBar:
            make<QStatusBar>(parent, row)->setSizeGripEnabled(false);
            return;
        default:
            return; // the menu bar builds the menus
        }
    }

    static void buildLabel(QLabel& label, const ControlLayout& row, const ControlModel& model)
    {
        auto* const* bound = std::get_if<LabelModel*>(&model);
        if (bound == nullptr) return;
        LabelModel& m = **bound;
        bindLabel(label, m);
        if (row.wordWrap) {
            // A wrapped text taller than its place, such as a refusal's whole reason, is drawn in a smaller font.
            m.changed.connect([guarded = QPointer<QLabel>(&label), designed = label.font()] {
                if (guarded) shrinkToFitHeight(*guarded, designed);
            });
        } else {
            // A line wider than its place is drawn narrower, never cut.
            follow(label, m, [](QLabel& l, const LabelModel&) { condenseToFit(l); });
        }
    }

    void buildLink(QWidget& parent, const ControlLayout& row, LabelModel& model)
    {
        if (row.backColour) {
            // A navigation entry, on the dark column.
            auto* entry = make<NavigationLabel>(parent, row);
            bindLabel(*entry, model);
            shrinkToFit(*entry);
            return;
        }
        auto* link = make<ClickableLabel>(parent, row);
        // Reached with Tab like every other control; Enter or Space open it.
        link->setFocusPolicy(Qt::TabFocus);
        bindLabel(*link, model);
        // Only the text is the link, not the empty rest of its row.
        const int widest = link->width();
        follow(static_cast<QLabel&>(*link), model, [widest](QLabel& l, const LabelModel&) {
            l.resize(std::min(l.sizeHint().width(), widest), l.height());
        });
    }

    std::string_view form_;
    const Models& models_;
    const Special& special_;
    std::vector<std::pair<OptionGroupModel*, QList<QAbstractButton*>>> groups_;
};

} // namespace

void buildControls(QWidget& parent, std::string_view frame, std::string_view form, const Models& models,
                   const Special& special)
{
    Builder builder(form, models, special);
    builder.buildRows(parent, frame);
    builder.bindOptionGroups();
}

} // namespace nimbrel::view
