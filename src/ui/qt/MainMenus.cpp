#include "ui/qt/MainMenus.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/PanelWidgets.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace nimbrel::view {

namespace {

// The menus as the layout lists them; the File menu is also the tray icon's pop-up menu.
class MenuBuilder {
public:
    explicit MenuBuilder(MainForm& form)
        : group_(form.trayMenu.mnuP1), entries_{
                                           {"mnuRelease", &form.engine.mnuRelease},
                                           {"mnuShow", &form.trayMenu.mnuShow},
                                           {"mnuPrograms", &form.trayMenu.mnuPrograms},
                                           {"Upnbl", &form.trayMenu.Upnbl},
                                           {"mnuExit", &form.mnuExit},
                                           {"mnuViewReleaseRAM", &form.panels.viewMenu[Panels::ReleaseRAM]},
                                           {"mnuViewAutomatic", &form.panels.viewMenu[Panels::Automatic]},
                                           {"mnuViewTime", &form.panels.viewMenu[Panels::TimeIntervals]},
                                           {"mnuViewLaucnher", &form.panels.viewMenu[Panels::Launcher]},
                                           {"mnuViewGraph", &form.panels.viewMenu[Panels::HistoryGraphs]},
                                           {"mnuViewStartup", &form.panels.viewMenu[Panels::StartupOther]},
                                           {"mnuHelpContents", &form.panels.mnuHelpContents},
                                           {"mnuHelpVisitUs", &form.panels.mnuHelpVisitUs},
                                           {"mnuHelpAbout", &form.panels.viewMenu[Panels::About]},
                                       }
    {
    }

    void build(QMenuBar& bar)
    {
        for (const ControlLayout* control : controlsIn("frmMain")) {
            if (control->kind != ControlKind::Menu) continue;
            QMenu* menu = bar.addMenu(layoutText(control->caption));
            menu->setObjectName(layoutText(control->name));
            fill(*menu);
        }
    }

private:
    void fill(QMenu& menu)
    {
        for (const ControlLayout* control : controlsIn(menu.objectName().toStdString())) {
            switch (control->kind) {
            case ControlKind::MenuEntry: {
                auto* action = new QAction(&menu);
                action->setObjectName(layoutText(control->name));
                bindAction(*action, *entries_.at(control->name));
                menu.addAction(action);
                break;
            }
            case ControlKind::Separator:
                menu.addSeparator()->setObjectName(layoutText(control->name));
                break;
            case ControlKind::Menu: {
                QMenu* submenu = menu.addMenu(QString());
                submenu->setObjectName(layoutText(control->name));
                bindAction(*submenu->menuAction(), *entries_.at(control->name));
                fill(*submenu);
                break;
            }
            case ControlKind::MenuGroup:
                bindMenuGroup(menu, group_);
                break;
            default:
                break;
            }
        }
    }

    MenuGroupModel& group_;
    std::map<std::string_view, MenuEntryModel*> entries_;
};

} // namespace

void buildMenus(QMenuBar& bar, MainForm& form)
{
    MenuBuilder(form).build(bar);
}

} // namespace nimbrel::view
