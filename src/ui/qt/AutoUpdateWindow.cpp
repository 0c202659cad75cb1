#include "ui/qt/AutoUpdateWindow.h"

#include "online/AutoUpdateDialog.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/FormBuilder.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/WindowPlacement.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>

namespace nimbrel::view {

AutoUpdateWindow::AutoUpdateWindow(AutoUpdateDialog& dialog) : QWidget(nullptr), dialog_(dialog)
{
    constexpr std::string_view form = "frmAutoUpdate";
    laidOut<QWidget>(this, form, form);
    setFixedSize(size());
    offerNoMaximise(*this);
    buildControls(*this, form, form, [&dialog](std::string_view name) { return modelOf(dialog, name); });

    // The models may outlive the window.
    const QPointer<AutoUpdateWindow> self(this);
    dialog_.frmAutoUpdate.changed.connect([self] {
        if (self) self->showWindow();
    });
    dialog_.frmAutoUpdate.raiseRequested.connect([self] {
        if (!self) return;
        self->raise();
        self->activateWindow();
    });
    showWindow();
}

void AutoUpdateWindow::showWindow()
{
    setWindowTitle(qs(dialog_.frmAutoUpdate.caption()));
    const bool shown = dialog_.frmAutoUpdate.shown();
    // Each time it opens, over the main window.
    if (shown && !isVisible()) centreOn(*this, shownMainWindow());
    setVisible(shown);
}

void AutoUpdateWindow::closeEvent(QCloseEvent* event)
{
    // The close box closes the dialog as "Cancel" does; the model decides what is shown.
    event->ignore();
    runUserAction([this] { dialog_.cmdCancel_Click(); });
}

void AutoUpdateWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window as its close box does, as it would a dialog's.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace nimbrel::view
