#include "ui/win32/ControlBindings.h"

#include "core/ButtonModel.h"
#include "core/CheckBoxModel.h"
#include "core/LabelModel.h"
#include "core/ListModel.h"
#include "core/ListViewModel.h"
#include "core/OptionGroupModel.h"
#include "platform/windows/WideText.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace nimbrel::win32 {

namespace {

// Calls show() now and on each change of the model while the window lives.
template <typename Model, typename Show> void follow(Model& model, const Alive& alive, Show show)
{
    show();
    model.changed.connect([alive, show] {
        if (!alive.expired()) show();
    });
}

// The items of a list or drop-down list, rewritten only when they differ from the model's.
struct ItemMessages {
    UINT count, text, textLength, reset, add, setSelection;
};
constexpr ItemMessages listMessages{LB_GETCOUNT, LB_GETTEXT, LB_GETTEXTLEN, LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL};
constexpr ItemMessages comboMessages{CB_GETCOUNT,     CB_GETLBTEXT, CB_GETLBTEXTLEN,
                                     CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL};

bool sameItems(HWND control, const ListModel& model, const ItemMessages& m)
{
    if (SendMessageW(control, m.count, 0, 0) != model.count()) return false;
    for (int i = 0; i < model.count(); ++i) {
        const LRESULT length = SendMessageW(control, m.textLength, static_cast<WPARAM>(i), 0);
        if (length < 0) return false;
        std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(control, m.text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(shown.data()));
        shown.resize(static_cast<std::size_t>(length));
        if (shown != wide::fromUtf8(model.item(i))) return false;
    }
    return true;
}

void showItems(HWND control, const ListModel& model, const ItemMessages& m)
{
    if (!sameItems(control, model, m)) {
        SendMessageW(control, WM_SETREDRAW, FALSE, 0);
        SendMessageW(control, m.reset, 0, 0);
        for (const std::string& item : model.items()) {
            SendMessageW(control, m.add, 0, reinterpret_cast<LPARAM>(wide::fromUtf8(item).c_str()));
        }
        SendMessageW(control, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control, nullptr, TRUE);
    }
    // -1 clears the selection, as the model's none.
    SendMessageW(control, m.setSelection, static_cast<WPARAM>(model.listIndex()), 0);
}

} // namespace

std::wstring textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setText(HWND control, const std::string& text)
{
    const std::wstring wanted = wide::fromUtf8(text);
    if (textOf(control) != wanted) SetWindowTextW(control, wanted.c_str());
}

void bindButton(HWND button, ButtonModel& model, ControlRouter& router, Alive alive)
{
    follow(model, alive, [button, &model] {
        setText(button, model.caption());
        EnableWindow(button, model.enabled() ? TRUE : FALSE);
    });
    router.onCommand(button, [&model](WORD code) {
        if (code == BN_CLICKED) model.userClick();
    });
}

void bindCheck(HWND box, CheckBoxModel& model, ControlRouter& router, Alive alive)
{
    setText(box, model.caption());
    const auto show = [box, &model] { SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(model.value()), 0); };
    follow(model, alive, show);
    // The box does not turn itself: the model decides, and the box shows its decision.
    router.onCommand(box, [&model, show](WORD code) {
        if (code != BN_CLICKED) return;
        model.userClick();
        show();
    });
}

void bindOption(HWND button, OptionGroupModel& group, int index, ControlRouter& router, Alive alive)
{
    if (index < group.count()) setText(button, group.caption(index));
    const auto show = [button, &group, index] {
        SendMessageW(button, BM_SETCHECK, group.value(index) ? BST_CHECKED : BST_UNCHECKED, 0);
    };
    follow(group, alive, show);
    router.onCommand(button, [&group, index, show](WORD code) {
        if (code != BN_CLICKED) return;
        group.userClick(index);
        show();
    });
}

void bindList(HWND list, ListModel& model, ControlRouter& router, Alive alive)
{
    follow(model, alive, [list, &model] { showItems(list, model, listMessages); });
    router.onCommand(list, [list, &model](WORD code) {
        // A click sends LBN_SELCHANGE even on the entry already chosen: its handler runs all the same.
        if (code == LBN_SELCHANGE) {
            const auto index = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
            if (index >= 0) model.userSelect(index);
            showItems(list, model, listMessages);
        } else if (code == LBN_DBLCLK) {
            model.userDoubleClick();
        }
    });
}

void bindCombo(HWND combo, ListModel& model, ControlRouter& router, Alive alive)
{
    follow(model, alive, [combo, &model] { showItems(combo, model, comboMessages); });
    // The user's choice: the list closing on an entry (CBN_SELENDOK), even the one shown, or the arrow
    // keys moving through the closed list (CBN_SELCHANGE). Moving over the open list chooses nothing yet,
    // and the CBN_SELCHANGE that may follow a choice from the list is the same choice, not another.
    auto chosenFromList = std::make_shared<int>(-1);
    router.onCommand(combo, [combo, &model, chosenFromList](WORD code) {
        const auto index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
        if (code == CBN_DROPDOWN) *chosenFromList = -1;
        if (code == CBN_SELCHANGE) {
            const bool open = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
            const bool sameChoice = index == *chosenFromList;
            *chosenFromList = -1;
            if (open || sameChoice) return;
        } else if (code == CBN_SELENDOK) {
            *chosenFromList = index;
        } else {
            return;
        }
        if (index >= 0) model.userSelect(index);
        showItems(combo, model, comboMessages);
    });
}

void bindListView(HWND view, ListViewModel& model, Alive alive)
{
    follow(model, alive, [view, &model] {
        SendMessageW(view, WM_SETREDRAW, FALSE, 0);
        SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
        int row = 0;
        for (const ListViewModel::Line& line : model.lines()) {
            std::wstring text = wide::fromUtf8(line.text);
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE;
            item.iItem = row++;
            item.pszText = text.data();
            item.iImage = line.image - 1; // the list's images count from 0; none is -1
            SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(view, WM_SETREDRAW, TRUE, 0);
        // Lines added while a long step runs show at once.
        UpdateWindow(view);
    });
}

void bindLabel(HWND label, LabelModel& model, ControlRouter& router, Alive alive, bool clickable)
{
    follow(model, alive, [label, &model, &router] {
        setText(label, model.caption());
        router.setTextColour(label, model.foreColour());
        ShowWindow(label, model.visible() ? SW_SHOWNA : SW_HIDE);
    });
    if (!clickable) return;
    router.onCommand(label, [&model](WORD code) {
        if (code == STN_CLICKED) model.userClick();
    });
}

} // namespace nimbrel::win32
