#include "ui/win32/ControlBindings.h"

#include "core/controls/ButtonModel.h"
#include "core/controls/CheckBoxModel.h"
#include "core/controls/LabelModel.h"
#include "core/controls/ListModel.h"
#include "core/controls/ListViewModel.h"
#include "core/controls/OptionGroupModel.h"
#include "platform/windows/WideText.h"

#include <commctrl.h>

#include <algorithm>
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

// The messages that fill a list or drop-down list and choose in it.
struct ItemMessages {
    UINT reset, add, setSelection;
};
constexpr ItemMessages listMessages{LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL};
constexpr ItemMessages comboMessages{CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL};

// What a control shows of an item: the item itself, or what the list's look makes of it.
std::wstring shownItem(const std::string& item, const ItemLook& look)
{
    return wide::fromUtf8(look ? look(item) : item);
}

// The items a list or drop-down list was last given, kept beside it: a change is compared here, and only what
// differs goes to the control, so that a list filled entry by entry (a thousand programs read at the start)
// takes each entry once, not the whole list again at every entry.
using ShownItems = std::shared_ptr<std::vector<std::string>>;

void showItems(HWND control, const ListModel& model, const ItemMessages& m, const ShownItems& shown,
               const ItemLook& look = {})
{
    const std::vector<std::string>& wanted = model.items();
    if (wanted != *shown) {
        const bool appended = wanted.size() > shown->size() && std::equal(shown->begin(), shown->end(), wanted.begin());
        SendMessageW(control, WM_SETREDRAW, FALSE, 0);
        if (!appended) {
            SendMessageW(control, m.reset, 0, 0);
            shown->clear();
        }
        for (std::size_t i = shown->size(); i < wanted.size(); ++i) {
            SendMessageW(control, m.add, 0, reinterpret_cast<LPARAM>(shownItem(wanted[i], look).c_str()));
        }
        *shown = wanted;
        SendMessageW(control, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control, nullptr, TRUE);
    }
    // -1 clears the selection, as the model's none.
    SendMessageW(control, m.setSelection, static_cast<WPARAM>(model.listIndex()), 0);
}

// The rows a line of the list view takes: broken at blanks where it is wider than the column.
std::vector<std::wstring> listViewRows(HWND view, const std::wstring& text)
{
    // The room beside the image, less the list view's padding between image and text and behind the text
    // (2 and 12 pixels in comctl32), and a little more.
    constexpr int padding = 20;
    int imageWidth = 0;
    int imageHeight = 0;
    if (const auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(view, LVM_GETIMAGELIST, LVSIL_SMALL, 0))) {
        ImageList_GetIconSize(images, &imageWidth, &imageHeight);
    }
    const int room = static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, 0, 0)) - imageWidth - padding;
    const auto width = [view](const std::wstring& part) {
        return static_cast<int>(SendMessageW(view, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(part.c_str())));
    };
    std::vector<std::wstring> rows;
    std::wstring rest = text;
    while (width(rest) > room) {
        // The longest start that fits, ending before a blank; a word wider than the list stays whole.
        std::size_t cut = std::wstring::npos;
        for (std::size_t blank = rest.find(L' '); blank != std::wstring::npos; blank = rest.find(L' ', blank + 1)) {
            if (blank > 0 && width(rest.substr(0, blank)) > room) break;
            if (blank > 0) cut = blank;
        }
        if (cut == std::wstring::npos) break;
        rows.push_back(rest.substr(0, cut));
        rest.erase(0, rest.find_first_not_of(L' ', cut));
    }
    rows.push_back(rest);
    return rows;
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

void bindList(HWND list, ListModel& model, ControlRouter& router, Alive alive, ItemLook look)
{
    const auto shown = std::make_shared<std::vector<std::string>>();
    follow(model, alive, [list, &model, look, shown] { showItems(list, model, listMessages, shown, look); });
    router.onCommand(list, [list, &model, look, shown](WORD code) {
        // A click sends LBN_SELCHANGE even on the entry already chosen: its handler runs all the same.
        if (code == LBN_SELCHANGE) {
            const auto index = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
            if (index >= 0) model.userSelect(index);
            showItems(list, model, listMessages, shown, look);
        } else if (code == LBN_DBLCLK) {
            model.userDoubleClick();
        }
    });
}

void bindCombo(HWND combo, ListModel& model, ControlRouter& router, Alive alive)
{
    const auto shown = std::make_shared<std::vector<std::string>>();
    follow(model, alive, [combo, &model, shown] { showItems(combo, model, comboMessages, shown); });
    // The user's choice: the list closing on an entry (CBN_SELENDOK), even the one shown, or the arrow
    // keys moving through the closed list (CBN_SELCHANGE). Moving over the open list chooses nothing yet,
    // and the CBN_SELCHANGE that may follow a choice from the list is the same choice, not another.
    auto chosenFromList = std::make_shared<int>(-1);
    router.onCommand(combo, [combo, &model, chosenFromList, shown](WORD code) {
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
        showItems(combo, model, comboMessages, shown);
    });
}

void bindListView(HWND view, ListViewModel& model, Alive alive)
{
    follow(model, alive, [view, &model] {
        SendMessageW(view, WM_SETREDRAW, FALSE, 0);
        SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
        int row = 0;
        for (const ListViewModel::Line& line : model.lines()) {
            // A line wider than the list goes on in the rows below it, without an image: none is cut.
            int image = line.image - 1; // the list's images count from 0; none is -1
            for (std::wstring text : listViewRows(view, wide::fromUtf8(line.text))) {
                LVITEMW item{};
                item.mask = LVIF_TEXT | LVIF_IMAGE;
                item.iItem = row++;
                item.pszText = text.data();
                item.iImage = image;
                SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
                image = -1;
            }
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
