#include "ui/qt/LauncherPanel.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ComboBinding.h"
#include "ui/qt/LauncherEditorDialog.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/OptionBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace nimbrel::view {

LauncherPanel::LauncherPanel(QGroupBox& frame, MainForm& form)
{
    Launcher& launcher = form.launcher;
    // Positions inside the frame, in twips: the options in a column of 3120 on the left, the list in a column of
    // 3480 on the right, 180 between them.
    placeText(frame, "lblLauncher",
              "Before any program from my list is launched, attempt to free up the following amount of RAM:",
              twipsRect(180, 300, 6780, 420), Qt::AlignLeft | Qt::AlignTop, true);
    for (int i = 0; i < 5; ++i) {
        optLauncher[static_cast<std::size_t>(i)] = place<QRadioButton>(
            frame, QStringLiteral("optLauncher%1").arg(i), twipsRect(180, 810 + 330 * i, 3120, 285));
    }
    bindOptions({optLauncher[0], optLauncher[1], optLauncher[2], optLauncher[3], optLauncher[4]}, launcher.optLauncher);

    placeText(frame, "lblLauncherRetry", "Number of Retrys", twipsRect(180, 2625, 1560, 330));
    cmbLauncher = place<QComboBox>(frame, "cmbLauncher", twipsRect(1800, 2625, 900, 330));
    bindCombo(*cmbLauncher, launcher.cmbLauncher);

    placeText(frame, "lblApplications", "List of Programs", twipsRect(3480, 780, 3480, 285));
    lstLauncher = place<QListView>(frame, "lstLauncher", twipsRect(3480, 1080, 3480, 1875));
    // The blanks after each name keep the path out of sight; a scroll bar would bring it back.
    lstLauncher->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    bindListWithDoubleClick(*lstLauncher, launcher.lstLauncher);
    const auto showPointer = [list = QPointer<QListView>(lstLauncher), &launcher] {
        if (!list) return;
        if (launcher.busy()) list->setCursor(Qt::WaitCursor);
        else list->unsetCursor();
    };
    launcher.busyChanged.connect(showPointer);

    cmdConfigureLauncher = place<QPushButton>(frame, "cmdConfigureLauncher", twipsRect(3480, 3060, 3480, 495));
    bindButton(*cmdConfigureLauncher, launcher.cmdConfigureLauncher);

    QWidget* owner = frame.window();
    launcher.showEditor = [owner = QPointer<QWidget>(owner)](LauncherEditor& editor) {
        LauncherEditorDialog dialog(editor, owner);
        dialog.exec();
    };
}

} // namespace nimbrel::view
