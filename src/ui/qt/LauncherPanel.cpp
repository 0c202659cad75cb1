#include "ui/qt/LauncherPanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/LauncherEditorDialog.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/OptionBinding.h"
#include "ui/qt/PanelWidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

#include <string>

namespace nimbrel::view {

LauncherPanel::LauncherPanel(QGroupBox& frame, MainForm& form)
{
    Launcher& launcher = form.launcher;
    place<QLabel>(frame, "lblLauncher");
    for (std::size_t i = 0; i < optLauncher.size(); ++i) {
        optLauncher[i] = place<QRadioButton>(frame, "optLauncher" + std::to_string(i));
    }
    bindOptions({optLauncher[0], optLauncher[1], optLauncher[2], optLauncher[3], optLauncher[4]}, launcher.optLauncher);

    place<QLabel>(frame, "lblLauncherRetry");
    cmbLauncher = place<QComboBox>(frame, "cmbLauncher");
    bindCombo(*cmbLauncher, launcher.cmbLauncher);

    place<QLabel>(frame, "lblApplications");
    lstLauncher = place<QListView>(frame, "lstLauncher");
    bindProgramList(*lstLauncher, launcher.lstLauncher);
    const auto showPointer = [list = QPointer<QListView>(lstLauncher), &launcher] {
        if (!list) return;
        if (launcher.busy())
            list->setCursor(Qt::WaitCursor);
        else
            list->unsetCursor();
    };
    launcher.busyChanged.connect(showPointer);

    cmdConfigureLauncher = place<QPushButton>(frame, "cmdConfigureLauncher");
    bindButton(*cmdConfigureLauncher, launcher.cmdConfigureLauncher);

    QWidget* owner = frame.window();
    launcher.showEditor = [owner = QPointer<QWidget>(owner)](LauncherEditor& editor) {
        LauncherEditorDialog dialog(editor, owner);
        dialog.exec();
    };
}

} // namespace nimbrel::view
