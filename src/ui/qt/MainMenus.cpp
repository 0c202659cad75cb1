#include "ui/qt/MainMenus.h"

#include "app/ControlModels.h"
#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/PanelWidgets.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <variant>

namespace nimbrel::view {

namespace {

// The entries of a menu as the layout lists them.
void fill(QMenu& menu, MainForm& form)
{
    for (const ControlLayout* control : controlsIn(menu.objectName().toStdString())) {
        const ControlModel model = modelOf(form, control->name);
        switch (control->kind) {
        case ControlKind::MenuEntry: {
            auto* action = new QAction(&menu);
            action->setObjectName(layoutText(control->name));
            bindAction(*action, *std::get<MenuEntryModel*>(model));
            menu.addAction(action);
            break;
        }
        case ControlKind::Separator:
            menu.addSeparator()->setObjectName(layoutText(control->name));
            break;
        case ControlKind::Menu: {
            QMenu* submenu = menu.addMenu(QString());
            submenu->setObjectName(layoutText(control->name));
            bindAction(*submenu->menuAction(), *std::get<MenuEntryModel*>(model));
            fill(*submenu, form);
            break;
        }
        case ControlKind::MenuGroup:
            bindMenuGroup(menu, *std::get<MenuGroupModel*>(model));
            break;
        default:
            break;
        }
    }
}

} // namespace

// The menus as the layout lists them; the File menu is also the tray icon's pop-up menu.
void buildMenus(QMenuBar& bar, MainForm& form)
{
    for (const ControlLayout* control : controlsIn("frmMain")) {
        if (control->kind != ControlKind::Menu) continue;
        QMenu* menu = bar.addMenu(layoutText(control->caption));
        menu->setObjectName(layoutText(control->name));
        fill(*menu, form);
    }
}

} // namespace nimbrel::view
