#pragma once

#include "ui/win32/ControlRouter.h"

#include <functional>
#include <memory>
#include <string>

namespace nimbrel {
class ButtonModel;
class CheckBoxModel;
class LabelModel;
class ListModel;
class ListViewModel;
class OptionGroupModel;
} // namespace nimbrel

namespace nimbrel::win32 {

// Each bind function shows the model in the control now and after every change
// of the model, and passes the user's actions on to the model, as the classic
// controls did: a user's click always runs the handler, and the control then
// shows what the model holds. The models outlive the controls; a model's observer
// does nothing once alive has expired (the window is gone).
using Alive = std::weak_ptr<bool>;

// A push button (BS_PUSHBUTTON): caption with its "&" access key, clicks.
void bindButton(HWND button, ButtonModel& model, ControlRouter& router, Alive alive);
// A check box (BS_3STATE, which turns only when told): state and clicks.
void bindCheck(HWND box, CheckBoxModel& model, ControlRouter& router, Alive alive);
// One option button (BS_RADIOBUTTON) of a group: caption, set or not, clicks.
void bindOption(HWND button, OptionGroupModel& group, int index, ControlRouter& router, Alive alive);
// What a list shows of each item; none shows the item as it is.
using ItemLook = std::function<std::string(const std::string& item)>;
// A list box (LBS_NOTIFY): items as the look shows them, selection, the user's choice and double-click.
void bindList(HWND list, ListModel& model, ControlRouter& router, Alive alive, ItemLook look = {});
// A drop-down list (CBS_DROPDOWNLIST): items, selection, the user's choice.
void bindCombo(HWND combo, ListModel& model, ControlRouter& router, Alive alive);
// A static text (SS_NOPREFIX, and SS_NOTIFY when clickable): caption, colour, visibility, clicks.
void bindLabel(HWND label, LabelModel& model, ControlRouter& router, Alive alive, bool clickable);

// A report-style list view of one column (LVS_REPORT): each line with its image of the list's images (1, 2, ...).
void bindListView(HWND view, ListViewModel& model, Alive alive);

// The control's text, from the program's UTF-8; set only when it differs.
void setText(HWND control, const std::string& text);
// The control's text as it shows.
std::wstring textOf(HWND control);

} // namespace nimbrel::win32
