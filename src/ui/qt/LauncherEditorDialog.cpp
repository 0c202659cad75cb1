#include "ui/qt/LauncherEditorDialog.h"

#include "launcher/LauncherEditor.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/WindowPlacement.h"

#include <utility>

#include <QListView>
#include <QPointer>
#include <QPushButton>

namespace nimbrel::view {

LauncherEditorDialog::LauncherEditorDialog(LauncherEditor& editor, QWidget* owner) : QDialog(owner), editor_(editor)
{
    laidOut<QWidget>(this, "frmLauncher", "frmLauncher");
    setWindowTitle(qs(editor.frmLauncher.caption()));
    setWindowIcon(appIcon());
    setModal(true);
    setFixedSize(size());
    offerNoMaximise(*this);

    lstPrograms = place<QListView>(*this, "lstPrograms", "frmLauncher");
    bindProgramList(*lstPrograms, editor.lstPrograms);

    const std::pair<const char*, ButtonModel&> buttons[] = {
        {"cmdAdd", editor.cmdAdd},   {"cmdRemove", editor.cmdRemove}, {"cmdRun", editor.cmdRun},
        {"cmdSave", editor.cmdSave}, {"cmdCancel", editor.cmdCancel},
    };
    for (const auto& [name, model] : buttons) {
        auto* button = place<QPushButton>(*this, name, "frmLauncher");
        button->setAutoDefault(false);
        bindButton(*button, model);
    }

    editor.frmLauncher.changed.connect([self = QPointer<LauncherEditorDialog>(this), &editor] {
        if (self && !editor.frmLauncher.shown()) self->done(QDialog::Accepted);
    });
}

void LauncherEditorDialog::reject()
{
    runUserAction([this] { editor_.cmdCancel_Click(); });
}

} // namespace nimbrel::view
