#pragma once

#include <string_view>
#include <variant>

namespace nimbrel {
class ButtonModel;
class CheckBoxModel;
class DrawingSurface;
class FrameModel;
class LabelModel;
class ListModel;
class ListViewModel;
class MainForm;
class MenuEntryModel;
class MenuGroupModel;
class OptionGroupModel;
} // namespace nimbrel

namespace nimbrel::win32 {

// One option button: its group and its index in it.
struct OptionOf {
    OptionGroupModel* group;
    int index;
};

// The model a control of the main window shows, by the control's name; nothing
// for the controls whose text is fixed by the layout (captions, shapes).
using ControlModel = std::variant<std::monostate, ButtonModel*, CheckBoxModel*, OptionOf, ListModel*, LabelModel*,
                                  FrameModel*, DrawingSurface*, MenuEntryModel*, MenuGroupModel*, ListViewModel*>;

ControlModel modelOf(MainForm& form, std::string_view name);

} // namespace nimbrel::win32
