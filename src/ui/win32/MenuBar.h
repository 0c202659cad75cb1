#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace nimbrel {
class MainForm;
class MenuEntryModel;
class MenuGroupModel;
} // namespace nimbrel

namespace nimbrel::win32 {

// The main window's menu bar, built from the layout's menus and bound to the form's
// menu entries: captions with their access keys, separators, enabled and visible,
// the launcher's programs as a submenu that follows its group. A choice of an entry
// comes back as a WM_COMMAND with the entry's id, which command() hands to its model.
class MenuBar {
public:
    MenuBar(MainForm& form, std::weak_ptr<bool> alive);
    ~MenuBar();
    MenuBar(const MenuBar&) = delete;
    MenuBar& operator=(const MenuBar&) = delete;

    HMENU bar() const { return bar_; }
    // The menu of that name in the layout (mnuFile, mnuView, mnuHelp, mnuPrograms).
    HMENU menu(std::string_view name) const;

    // Runs the handler of the chosen entry; false for an id that is not a menu entry's.
    bool command(WORD id);

    // The window whose menu bar is redrawn after a change.
    void setWindow(HWND window) { window_ = window; }

private:
    struct Item {
        std::string_view name;
        bool separator = false;
        MenuEntryModel* entry = nullptr; // an entry, or the caption of a submenu
        HMENU submenu = nullptr;
        MenuGroupModel* group = nullptr; // a run of entries made at run time
        WORD id = 0;
    };
    struct Popup {
        std::string_view name;
        HMENU menu;
        std::vector<Item> items;
    };

    void build(Popup& popup, MainForm& form, const std::weak_ptr<bool>& alive);
    void refill(const Popup& popup) const;

    HMENU bar_;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<Popup>> popups_;
    std::map<WORD, MenuEntryModel*> entries_;
    std::vector<std::pair<MenuGroupModel*, WORD>> groups_; // each group's first id
    WORD nextId_ = 40000;
};

} // namespace nimbrel::win32
