#include "ui/win32/MenuBar.h"

#include "app/ControlLayout.h"
#include "app/ControlModels.h"
#include "core/controls/MenuEntryModel.h"
#include "core/controls/MenuGroupModel.h"
#include "core/base/Text.h"
#include "platform/windows/WideText.h"
#include "ui/win32/UserAction.h"

namespace nimbrel::win32 {

namespace {
// Room for the launcher's programs, which the editor keeps to thirty.
constexpr WORD groupRoom = 100;
} // namespace

MenuBar::MenuBar(MainForm& form, std::weak_ptr<bool> alive) : bar_(CreateMenu())
{
    for (const ControlLayout* menu : controlsIn("frmMain")) {
        if (menu->kind != ControlKind::Menu) continue;
        auto popup = std::make_unique<Popup>(Popup{menu->name, CreatePopupMenu(), {}});
        build(*popup, form, alive);
        AppendMenuW(bar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup->menu),
                    wide::fromUtf8(std::string(menu->caption)).c_str());
        popups_.push_back(std::move(popup));
    }
}

MenuBar::~MenuBar()
{
    if (!IsMenu(bar_)) return;
    // The submenus in it go with it.
    DestroyMenu(bar_);
}

HMENU MenuBar::menu(std::string_view name) const
{
    for (const auto& popup : popups_) {
        if (popup->name == name) return popup->menu;
    }
    return nullptr;
}

void MenuBar::build(Popup& popup, MainForm& form, const std::weak_ptr<bool>& alive)
{
    for (const ControlLayout* row : controlsIn(popup.name)) {
        Item item{row->name};
        const ControlModel model = modelOf(form, row->name);
        switch (row->kind) {
        case ControlKind::Separator: item.separator = true; break;
        case ControlKind::MenuEntry:
            item.entry = std::get<MenuEntryModel*>(model);
            item.id = nextId_++;
            entries_[item.id] = item.entry;
            break;
        case ControlKind::Menu: {
            // A submenu: its caption and enabled state from its entry model, its entries from the layout.
            item.entry = std::get<MenuEntryModel*>(model);
            auto sub = std::make_unique<Popup>(Popup{row->name, CreatePopupMenu(), {}});
            build(*sub, form, alive);
            item.submenu = sub->menu;
            popups_.push_back(std::move(sub));
            break;
        }
        case ControlKind::MenuGroup:
            item.group = std::get<MenuGroupModel*>(model);
            item.id = nextId_;
            groups_.emplace_back(item.group, item.id);
            nextId_ = static_cast<WORD>(nextId_ + groupRoom);
            break;
        default: continue;
        }
        popup.items.push_back(item);
    }
    refill(popup);
    // Any change of an entry of this menu rebuilds the menu's items.
    const auto refillThis = [this, &popup, alive] {
        if (!alive.expired()) refill(popup);
    };
    for (const Item& item : popup.items) {
        if (item.entry != nullptr) item.entry->changed.connect(refillThis);
        if (item.group != nullptr) item.group->changed.connect(refillThis);
    }
}

void MenuBar::refill(const Popup& popup) const
{
    // Taken out, not destroyed: the submenus stay for the next fill.
    while (GetMenuItemCount(popup.menu) > 0) RemoveMenu(popup.menu, 0, MF_BYPOSITION);
    for (const Item& item : popup.items) {
        if (item.separator) {
            AppendMenuW(popup.menu, MF_SEPARATOR, 0, nullptr);
        } else if (item.group != nullptr) {
            for (int i = 0; i < item.group->count() && i < groupRoom; ++i) {
                AppendMenuW(popup.menu, MF_STRING, item.id + static_cast<UINT>(i),
                            wide::fromUtf8(elidedForMenu(item.group->caption(i))).c_str());
            }
        } else if (item.entry->visible()) {
            const UINT enabled = item.entry->enabled() ? MF_ENABLED : MF_GRAYED;
            const std::wstring caption = wide::fromUtf8(item.entry->caption());
            if (item.entry->isSeparator()) {
                AppendMenuW(popup.menu, MF_SEPARATOR, 0, nullptr);
            } else if (item.submenu != nullptr) {
                AppendMenuW(popup.menu, MF_POPUP | MF_STRING | enabled, reinterpret_cast<UINT_PTR>(item.submenu),
                            caption.c_str());
            } else {
                AppendMenuW(popup.menu, MF_STRING | enabled, item.id, caption.c_str());
            }
        }
    }
    if (window_ != nullptr) DrawMenuBar(window_);
}

bool MenuBar::command(WORD id)
{
    if (const auto found = entries_.find(id); found != entries_.end()) {
        MenuEntryModel* entry = found->second;
        runUserAction([entry] { entry->userClick(); });
        return true;
    }
    for (const auto& [group, first] : groups_) {
        if (id >= first && id < first + groupRoom) {
            const int index = id - first;
            runUserAction([group = group, index] {
                if (index < group->count()) group->userClick(index);
            });
            return true;
        }
    }
    return false;
}

} // namespace nimbrel::win32
