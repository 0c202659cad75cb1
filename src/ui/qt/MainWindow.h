#pragma once

#include <QMainWindow>

class QMenu;

namespace nimbrel {
class MainForm;
}

namespace nimbrel::view {

// frmMain: the fixed layout of the main window built from the layout's rows and the form's models.
// The window follows frmMain's caption, visibility and minimised state;
// closing it asks the form whether it may close.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainForm& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The client area below the menu bar; the layout's positions are relative to it.
    QWidget& clientArea() const { return *area_; }
    // The File menu, which the tray icon also pops up.
    QMenu& fileMenu() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Sets the layout's scale so that the window fits its screen's available area.
    void fitToScreen();
    // The banner's letters a little apart.
    void spaceBanner();
    void moveFocusWithPanels();
    // The launcher's busy pointer and its editor.
    void followLauncher();
    void followWindowModel();
    void bringToFront();

    MainForm& form_;
    QWidget* area_;
    bool followingModel_ = false;
    bool detached_ = false; // set while the window is destroyed
    bool placed_ = false;   // it has been put in the middle of its screen
};

} // namespace nimbrel::view
