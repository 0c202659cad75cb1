#include "ui/qt/MainWindow.h"

#include "app/MainForm.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/FormBuilder.h"
#include "ui/qt/LauncherEditorDialog.h"
#include "ui/qt/MainMenus.h"
#include "ui/qt/NavigationLabel.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/ScaleMarks.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"
#include "ui/qt/WindowPlacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScopedValueRollback>
#include <QScreen>

namespace nimbrel::view {

MainWindow::MainWindow(MainForm& form, QWidget* parent) : QMainWindow(parent), form_(form), area_(new QWidget(this))
{
    buildMenus(*menuBar(), form_);
    fitToScreen();
    laidOut<QWidget>(this, "frmMain");
    area_->setObjectName(QStringLiteral("clientArea"));
    applyWindowColours(*area_);
    area_->setFixedSize(size()); // the form's size is its client area's
    setCentralWidget(area_);

    buildControls(
        *area_, "frmMain", "frmMain", [&form](std::string_view name) { return modelOf(form, name); },
        [&form](QWidget& parent, const ControlLayout& row) { return buildScaleMarks(parent, row, form.graphs); });
    spaceBanner();
    moveFocusWithPanels();
    followLauncher();

    // The layout is absolute: the window keeps the size it was designed with (at the scale that fits the screen).
    setFixedSize(sizeHint());
    offerNoMaximise(*this);

    followWindowModel();
    QPointer<MainWindow> self(this);
    form_.frmMain.changed.connect([self] {
        if (self && !self->detached_) self->followWindowModel();
    });
    form_.frmMain.raiseRequested.connect([self] {
        if (self && !self->detached_) self->bringToFront();
    });
}

MainWindow::~MainWindow()
{
    detached_ = true;
}

void MainWindow::fitToScreen()
{
    const TwipsRect designed = controlLayout("frmMain").place;
    const QScreen* shownOn = screen();
    setLayoutScale(shownOn ? fitScale(QSize(designed.width / twipsPerPixel, designed.height / twipsPerPixel),
                                      menuBar()->sizeHint().height(), shownOn->availableGeometry())
                           : 1.0);
}

QMenu& MainWindow::fileMenu() const
{
    return *menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile"));
}

void MainWindow::spaceBanner()
{
    auto& banner = *area_->findChild<QLabel*>(QStringLiteral("lblBanner"));
    QFont font = banner.font();
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    banner.setFont(font);
}

void MainWindow::moveFocusWithPanels()
{
    for (std::size_t n = 0; n < Panels::Count; ++n) {
        // The keyboard's place in the column follows a panel chosen by mouse or menu: the orange outline
        // never marks one entry while another panel is shown.
        auto* label = area_->findChild<NavigationLabel*>(layoutText(navigationNames[n]));
        FrameModel& frame = form_.panels.frames[n];
        frame.changed.connect([guarded = QPointer<NavigationLabel>(label), &frame] {
            if (!guarded || !frame.visible()) return;
            QWidget* focused = guarded->window()->focusWidget();
            if (focused != guarded && qobject_cast<NavigationLabel*>(focused)) guarded->setFocus(Qt::OtherFocusReason);
        });
    }
}

void MainWindow::followLauncher()
{
    Launcher& launcher = form_.launcher;
    // A busy pointer over the programs while one is being launched.
    launcher.busyChanged.connect(
        [list = QPointer<QListView>(area_->findChild<QListView*>(QStringLiteral("lstLauncher"))), &launcher] {
            if (!list) return;
            if (launcher.busy())
                list->setCursor(Qt::WaitCursor);
            else
                list->unsetCursor();
        });
    // The editor opens over the main window, modal.
    launcher.showEditor = [owner = QPointer<QWidget>(this)](LauncherEditor& editor) {
        LauncherEditorDialog dialog(editor, owner);
        dialog.exec();
    };
}

void MainWindow::followWindowModel()
{
    const WindowModel& model = form_.frmMain;
    setWindowTitle(qs(model.caption()));

    const QScopedValueRollback<bool> following(followingModel_, true);
    if (!model.shown()) {
        if (isVisible()) hide();
        return;
    }
    // The first time on the screen, in the middle of its available area: wholly on it, and where the
    // messages that belong to it are centred.
    if (!placed_) {
        placed_ = true;
        centreOn(*this, nullptr);
    }
    if (model.minimised()) {
        if (!isVisible() || !isMinimized()) showMinimized();
    } else if (!isVisible() || isMinimized()) {
        showNormal();
    }
}

void MainWindow::bringToFront()
{
    {
        const QScopedValueRollback<bool> following(followingModel_, true);
        if (!isVisible() || isMinimized()) showNormal();
    }
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (detached_) {
        event->accept();
        return;
    }
    bool cancel = false;
    runUserAction([&] { cancel = form_.Form_QueryUnload(MainForm::FormControlMenu); });
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The user minimising or restoring the window; the window's own
    // following of the model does not count.
    if (event->type() == QEvent::WindowStateChange && !followingModel_ && !detached_) {
        const bool minimised = isMinimized();
        runUserAction([&] { form_.frmMain.setMinimised(minimised); });
    }
}

} // namespace nimbrel::view
