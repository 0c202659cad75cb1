#include "ui/qt/MainWindow.h"

#include "app/MainForm.h"
#include "ui/qt/AboutPanel.h"
#include "ui/qt/AutomaticPanel.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/GraphsPanel.h"
#include "ui/qt/LauncherPanel.h"
#include "ui/qt/MainMenus.h"
#include "ui/qt/NavigationLabel.h"
#include "ui/qt/PanelFrame.h"
#include "ui/qt/PanelWidgets.h"
#include "ui/qt/ReleaseMonitor.h"
#include "ui/qt/ReleasePanel.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/StartupPanel.h"
#include "ui/qt/Theme.h"
#include "ui/qt/TimePanel.h"
#include "ui/qt/Twips.h"
#include "ui/qt/WindowPlacement.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScopedValueRollback>

namespace nimbrel::view {

namespace {

// In panel order (Panels::Panel).
constexpr std::array<const char*, Panels::Count> navigationNames{
    "lblReleaseRAMN",    "lblAutomaticN",    "lblTimeIntervalsN", "lblLauncherN",
    "lblHistoryGraphsN", "lblStartupOtherN", "lblAboutN",
};
constexpr std::array<const char*, Panels::Count> frameNames{
    "fmRAM", "fmAutomatic", "fmTime", "fmLauncher", "fmGraph", "fmStartup", "fmAbout",
};

} // namespace

MainWindow::MainWindow(MainForm& form, QWidget* parent) : QMainWindow(parent), form_(form), area_(new QWidget(this))
{
    buildMenus(*menuBar(), form_);
    fitToScreen();
    laidOut<QWidget>(this, "frmMain");
    area_->setObjectName(QStringLiteral("clientArea"));
    applyWindowColours(*area_);
    area_->setFixedSize(size()); // the form's size is its client area's
    setCentralWidget(area_);

    buildBanner();
    buildNavigation();
    buildPanels();
    buildButtons();

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

void MainWindow::buildBanner()
{
    place<ShapeFrame>(*area_, "Shape2");
    auto* banner = place<QLabel>(*area_, "lblBanner");
    QFont font = banner->font();
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    banner->setFont(font);
}

void MainWindow::buildNavigation()
{
    place<ShapeFrame>(*area_, "Shape3");
    for (std::size_t n = 0; n < navigationNames.size(); ++n) {
        auto* label = place<NavigationLabel>(*area_, navigationNames[n]);
        bindLabel(*label, form_.panels.navigation[n]);
        shrinkToFit(*label);
        // The keyboard's place in the column follows a panel chosen by mouse or menu: the orange outline
        // never marks one entry while another panel is shown.
        FrameModel& frame = form_.panels.frames[n];
        frame.changed.connect([guarded = QPointer<NavigationLabel>(label), &frame] {
            if (!guarded || !frame.visible()) return;
            QWidget* focused = guarded->window()->focusWidget();
            if (focused != guarded && qobject_cast<NavigationLabel*>(focused)) guarded->setFocus(Qt::OtherFocusReason);
        });
    }
}

void MainWindow::buildPanels()
{
    auto* advice = place<QLabel>(*area_, "lblAdvice");
    bindLabel(*advice, form_.panels.lblAdvice);
    condenseToFit(*advice);
    form_.panels.lblAdvice.changed.connect([guarded = QPointer<QLabel>(advice)] {
        if (guarded) condenseToFit(*guarded);
    });

    for (std::size_t n = 0; n < frameNames.size(); ++n) {
        auto* frame = place<PanelFrame>(*area_, frameNames[n]);
        bindFrame(*frame, form_.panels.frames[n]);
        frames_[n] = frame;
    }
    releasePanel_ = std::make_unique<ReleasePanel>(panelFrame(Panels::ReleaseRAM), form_);
    releaseMonitor_ = std::make_unique<ReleaseMonitor>(panelFrame(Panels::ReleaseRAM), form_);
    automaticPanel_ = std::make_unique<AutomaticPanel>(panelFrame(Panels::Automatic), form_);
    timePanel_ = std::make_unique<TimePanel>(panelFrame(Panels::TimeIntervals), form_);
    launcherPanel_ = std::make_unique<LauncherPanel>(panelFrame(Panels::Launcher), form_);
    graphsPanel_ = std::make_unique<GraphsPanel>(panelFrame(Panels::HistoryGraphs), form_);
    startupPanel_ = std::make_unique<StartupPanel>(panelFrame(Panels::StartupOther), form_);
    aboutPanel_ = std::make_unique<AboutPanel>(panelFrame(Panels::About), form_.panels);
}

void MainWindow::buildButtons()
{
    const std::pair<const char*, ButtonModel&> buttons[] = {
        {"cmdPause", form_.cmdPause},
        {"cmdExit", form_.cmdExit},
        {"cmdHide", form_.cmdHide},
    };
    for (const auto& [name, model] : buttons) {
        auto* button = place<QPushButton>(*area_, name);
        button->setCursor(Qt::PointingHandCursor);
        bindButton(*button, model);
    }
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
