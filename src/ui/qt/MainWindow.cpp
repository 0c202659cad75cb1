#include "ui/qt/MainWindow.h"

#include "app/MainForm.h"
#include "ui/qt/AboutPanel.h"
#include "ui/qt/Bindings.h"
#include "ui/qt/MainMenus.h"
#include "ui/qt/NavigationLabel.h"
#include "ui/qt/PanelFrame.h"
#include "ui/qt/ShapeFrame.h"
#include "ui/qt/AutomaticPanel.h"
#include "ui/qt/GraphsPanel.h"
#include "ui/qt/LauncherPanel.h"
#include "ui/qt/ReleaseMonitor.h"
#include "ui/qt/ReleasePanel.h"
#include "ui/qt/StartupPanel.h"
#include "ui/qt/TimePanel.h"
#include "ui/qt/Theme.h"
#include "ui/qt/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>

namespace nimbrel::view {

namespace {

// The client area, in twips: wide enough for the banner, high enough for the navigation column.
constexpr int clientWidth = 9375;
constexpr int clientHeight = 6375;

struct NavigationEntry {
    const char* name;
    const char* frameName;
    int top;
};

// In panel order (Panels::Panel).
constexpr std::array<NavigationEntry, Panels::Count> navigationEntries{{
    {"lblReleaseRAMN", "fmRAM", 1680},
    {"lblAutomaticN", "fmAutomatic", 2340},
    {"lblTimeIntervalsN", "fmTime", 3000},
    {"lblLauncherN", "fmLauncher", 3660},
    {"lblHistoryGraphsN", "fmGraph", 4320},
    {"lblStartupOtherN", "fmStartup", 4980},
    {"lblAboutN", "fmAbout", 5640},
}};

} // namespace

MainWindow::MainWindow(MainForm& form, QWidget* parent) : QMainWindow(parent), form_(form), area_(new QWidget(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setFont(tahoma(8));
    area_->setObjectName(QStringLiteral("clientArea"));
    applyWindowColours(*area_);
    area_->setFixedSize(px(clientWidth), px(clientHeight));
    setCentralWidget(area_);

    buildBanner();
    buildNavigation();
    buildPanels();
    buildButtons();
    buildMenus(*menuBar(), form_);

    // The layout is absolute: the window keeps the size it was designed with.
    setFixedSize(sizeHint());

    followWindowModel();
    QPointer<MainWindow> self(this);
    form_.frmMain.changed.connect([self] {
        if (self && !self->detached_) self->followWindowModel();
    });
    form_.frmMain.raiseRequested.connect([self] {
        if (self && !self->detached_) self->bringToFront();
    });
}

MainWindow::~MainWindow() { detached_ = true; }

QMenu& MainWindow::fileMenu() const { return *menuBar()->findChild<QMenu*>(QStringLiteral("mnuFile")); }

void MainWindow::buildBanner()
{
    new ShapeFrame(*area_, QStringLiteral("Shape2"), twipsRect(120, 120, 9135, 1095));

    auto* banner = new QLabel(QStringLiteral("Nimbrel"), area_);
    banner->setObjectName(QStringLiteral("lblBanner"));
    banner->setGeometry(twipsRect(1320, 360, 6435, 795));
    QFont font = tahoma(26, true);
    font.setLetterSpacing(QFont::PercentageSpacing, 104);
    banner->setFont(font);
    banner->setAlignment(Qt::AlignCenter);
    QPalette palette = banner->palette();
    palette.setColor(QPalette::WindowText, toQColor(colours::white));
    banner->setPalette(palette);
}

void MainWindow::buildNavigation()
{
    new ShapeFrame(*area_, QStringLiteral("Shape3"), twipsRect(120, 1320, 1815, 4935));
    for (int n = 0; n < Panels::Count; ++n) {
        const NavigationEntry& entry = navigationEntries[static_cast<std::size_t>(n)];
        auto* label = new NavigationLabel(area_);
        label->setObjectName(QString::fromLatin1(entry.name));
        label->setGeometry(twipsRect(195, entry.top, 1665, 375));
        label->setFont(tahoma(9));
        bindLabel(*label, form_.panels.navigation[static_cast<std::size_t>(n)]);
        shrinkToFit(*label);
    }
}

void MainWindow::buildPanels()
{
    auto* advice = new QLabel(area_);
    advice->setObjectName(QStringLiteral("lblAdvice"));
    advice->setGeometry(twipsRect(2160, 1320, 7095, 255));
    bindLabel(*advice, form_.panels.lblAdvice);
    condenseToFit(*advice);
    form_.panels.lblAdvice.changed.connect([guarded = QPointer<QLabel>(advice)] {
        if (guarded) condenseToFit(*guarded);
    });

    for (int n = 0; n < Panels::Count; ++n) {
        auto* frame = new PanelFrame(*area_);
        frame->setObjectName(QString::fromLatin1(navigationEntries[static_cast<std::size_t>(n)].frameName));
        frame->setGeometry(twipsRect(2160, 1560, 7125, 3855));
        bindFrame(*frame, form_.panels.frames[static_cast<std::size_t>(n)]);
        frames_[static_cast<std::size_t>(n)] = frame;
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
    const struct {
        const char* name;
        ButtonModel& model;
        int left;
        int width;
    } buttons[] = {
        {"cmdPause", form_.cmdPause, 2040, 1755},
        {"cmdExit", form_.cmdExit, 3840, 1755},
        {"cmdHide", form_.cmdHide, 7560, 1695},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(area_);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(twipsRect(b.left, 5640, b.width, 495));
        button->setCursor(Qt::PointingHandCursor);
        bindButton(*button, b.model);
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
    if (cancel) event->ignore();
    else event->accept();
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
