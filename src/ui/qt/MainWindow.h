#pragma once

#include "app/Panels.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QGroupBox;
class QMenu;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

class AboutPanel;
class AutomaticPanel;
class GraphsPanel;
class LauncherPanel;
class ReleaseMonitor;
class ReleasePanel;
class StartupPanel;
class TimePanel;

// frmMain: the fixed layout of the main window built from the form's models.
// The window follows frmMain's caption, visibility and minimised state;
// closing it asks the form whether it may close.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainForm& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The client area below the menu bar; the layout's positions are relative to it.
    QWidget& clientArea() const { return *area_; }
    // The frame of panel n (Panels::Panel), where the panel's controls live.
    QGroupBox& panelFrame(int n) const { return *frames_.at(static_cast<std::size_t>(n)); }
    // The File menu, which the tray icon also pops up.
    QMenu& fileMenu() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Sets the layout's scale so that the window fits its screen's available area.
    void fitToScreen();
    void buildBanner();
    void buildNavigation();
    void buildPanels();
    void buildButtons();
    void followWindowModel();
    void bringToFront();

    MainForm& form_;
    QWidget* area_;
    std::array<QGroupBox*, Panels::Count> frames_{};
    std::unique_ptr<ReleasePanel> releasePanel_;
    std::unique_ptr<ReleaseMonitor> releaseMonitor_;
    std::unique_ptr<AutomaticPanel> automaticPanel_;
    std::unique_ptr<TimePanel> timePanel_;
    std::unique_ptr<LauncherPanel> launcherPanel_;
    std::unique_ptr<GraphsPanel> graphsPanel_;
    std::unique_ptr<StartupPanel> startupPanel_;
    std::unique_ptr<AboutPanel> aboutPanel_;
    bool followingModel_ = false;
    bool detached_ = false; // set while the window is destroyed
    bool placed_ = false;   // it has been put in the middle of its screen
};

} // namespace nimbrel::view
