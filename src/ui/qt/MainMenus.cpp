#include "ui/qt/MainMenus.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace nimbrel::view {

namespace {

QAction* entry(QMenu& menu, const char* name, MenuEntryModel& model)
{
    auto* action = new QAction(&menu);
    action->setObjectName(QString::fromLatin1(name));
    bindAction(*action, model);
    menu.addAction(action);
    return action;
}

QMenu* menu(QMenuBar& bar, const char* name, const char* title)
{
    QMenu* m = bar.addMenu(QString::fromLatin1(title));
    m->setObjectName(QString::fromLatin1(name));
    return m;
}

} // namespace

void buildMenus(QMenuBar& bar, MainForm& form)
{
    // The File menu is also the tray icon's pop-up menu.
    QMenu* file = menu(bar, "mnuFile", "&File");
    TrayMenu& tray = form.trayMenu;
    entry(*file, "mnuRelease", form.engine.mnuRelease);
    file->addSeparator()->setObjectName(QStringLiteral("sep1"));
    entry(*file, "mnuShow", tray.mnuShow);
    file->addSeparator()->setObjectName(QStringLiteral("sep2"));
    QMenu* programs = file->addMenu(QString());
    programs->setObjectName(QStringLiteral("mnuPrograms"));
    bindAction(*programs->menuAction(), tray.mnuPrograms);
    bindMenuGroup(*programs, tray.mnuP1);
    file->addSeparator()->setObjectName(QStringLiteral("bl"));
    entry(*file, "Upnbl", tray.Upnbl);
    file->addSeparator()->setObjectName(QStringLiteral("sep3"));
    entry(*file, "mnuExit", form.mnuExit);

    Panels& panels = form.panels;
    QMenu* view = menu(bar, "mnuView", "&View");
    const char* viewNames[] = {"mnuViewReleaseRAM", "mnuViewAutomatic", "mnuViewTime",
                               "mnuViewLaucnher",   "mnuViewGraph",     "mnuViewStartup"};
    for (int n = Panels::ReleaseRAM; n <= Panels::StartupOther; ++n) {
        entry(*view, viewNames[n], panels.viewMenu[static_cast<std::size_t>(n)]);
    }

    QMenu* help = menu(bar, "mnuHelp", "&Help");
    entry(*help, "mnuHelpContents", panels.mnuHelpContents);
    help->addSeparator()->setObjectName(QStringLiteral("mnusep1"));
    entry(*help, "mnuHelpVisitUs", panels.mnuHelpVisitUs);
    help->addSeparator()->setObjectName(QStringLiteral("mnusep2"));
    entry(*help, "mnuHelpAbout", panels.viewMenu[Panels::About]);
}

} // namespace nimbrel::view
