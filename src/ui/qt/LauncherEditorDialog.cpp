#include "ui/qt/LauncherEditorDialog.h"

#include "launcher/LauncherEditor.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/FormBuilder.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/WindowPlacement.h"

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

    buildControls(*this, "frmLauncher", "frmLauncher",
                  [&editor](std::string_view name) { return modelOf(editor, name); });
    // No button is the default one: Enter goes to the control that has the keyboard.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    editor.frmLauncher.changed.connect([self = QPointer<LauncherEditorDialog>(this), &editor] {
        if (self && !editor.frmLauncher.shown()) self->done(QDialog::Accepted);
    });
}

void LauncherEditorDialog::reject()
{
    runUserAction([this] { editor_.cmdCancel_Click(); });
}

} // namespace nimbrel::view
