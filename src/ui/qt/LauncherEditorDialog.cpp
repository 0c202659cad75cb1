#include "ui/qt/LauncherEditorDialog.h"

#include "launcher/LauncherEditor.h"
#include "ui/qt/AppIcon.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/ListBinding.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QListView>
#include <QPointer>
#include <QPushButton>

namespace nimbrel::view {

LauncherEditorDialog::LauncherEditorDialog(LauncherEditor& editor, QWidget* owner)
    : QDialog(owner), editor_(editor)
{
    setObjectName(QStringLiteral("frmLauncher"));
    setWindowTitle(qs(editor.frmLauncher.caption()));
    setWindowIcon(appIcon());
    setFont(tahoma(8));
    setModal(true);
    setFixedSize(px(6375), px(3975));

    lstPrograms = place<QListView>(*this, "lstPrograms", twipsRect(120, 120, 4290, 3735));
    bindListWithDoubleClick(*lstPrograms, editor.lstPrograms);

    const struct {
        const char* name;
        ButtonModel& model;
        int top;
    } buttons[] = {
        {"cmdAdd", editor.cmdAdd, 120},
        {"cmdRemove", editor.cmdRemove, 675},
        {"cmdRun", editor.cmdRun, 1230},
        {"cmdSave", editor.cmdSave, 2805},
        {"cmdCancel", editor.cmdCancel, 3360},
    };
    for (const auto& b : buttons) {
        auto* button = place<QPushButton>(*this, QString::fromLatin1(b.name), twipsRect(4530, b.top, 1725, 495));
        button->setAutoDefault(false);
        bindButton(*button, b.model);
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
