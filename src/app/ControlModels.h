#pragma once

// The model each control of a window shows, by the control's name: the
// second table of the views beside the layout (app/ControlLayout). A view
// walks a form's rows, makes the control of each row's kind at its place,
// and binds it to the model found here.
//
//     const ControlModel model = modelOf(form, "lstRam");   // ListModel*
//     if (auto* list = std::get_if<ListModel*>(&model)) { ... }

#include <array>
#include <string_view>
#include <variant>
#include <vector>

namespace nimbrel {

class AutoUpdateDialog;
class ButtonModel;
class CheckBoxModel;
class DrawingSurface;
class FrameModel;
class LabelModel;
class LauncherEditor;
class ListModel;
class ListViewModel;
class MainForm;
class MenuEntryModel;
class MenuGroupModel;
class OptionGroupModel;

// One option button: its group and its index in it.
struct OptionOf {
    OptionGroupModel* group;
    int index;

    friend bool operator==(const OptionOf&, const OptionOf&) = default;
};

// Nothing for the controls whose text is fixed by the layout (captions, shapes, frames inside a panel).
using ControlModel = std::variant<std::monostate, ButtonModel*, CheckBoxModel*, OptionOf, ListModel*, LabelModel*,
                                  FrameModel*, DrawingSurface*, MenuEntryModel*, MenuGroupModel*, ListViewModel*>;

// The main window's panels, in the order of Panels::Panel: the navigation label that shows each, its frame,
// and its entry of the View menu (About's in the Help menu).
inline constexpr std::array<std::string_view, 7> navigationNames{
    "lblReleaseRAMN",    "lblAutomaticN",    "lblTimeIntervalsN", "lblLauncherN",
    "lblHistoryGraphsN", "lblStartupOtherN", "lblAboutN"};
inline constexpr std::array<std::string_view, 7> panelNames{"fmRAM",   "fmAutomatic", "fmTime", "fmLauncher",
                                                            "fmGraph", "fmStartup",   "fmAbout"};
inline constexpr std::array<std::string_view, 7> viewMenuNames{
    "mnuViewReleaseRAM", "mnuViewAutomatic", "mnuViewTime", "mnuViewLaucnher",
    "mnuViewGraph",      "mnuViewStartup",   "mnuHelpAbout"};

// The model of the main window's control of that name.
ControlModel modelOf(MainForm& form, std::string_view name);
// The launcher editor's (frmLauncher).
ControlModel modelOf(LauncherEditor& editor, std::string_view name);
// The update dialog's (frmAutoUpdate).
ControlModel modelOf(AutoUpdateDialog& dialog, std::string_view name);

// The launcher's lists (the panel's and the editor's): each entry shown by its program's name, the chosen one's
// path beside it, Enter starting the chosen program.
inline bool listsPrograms(std::string_view listName) { return listName == "lstLauncher" || listName == "lstPrograms"; }

// The names of the main window's controls that have a model, in no particular order.
std::vector<std::string_view> modelledControls();

} // namespace nimbrel
