#pragma once

#include <QRect>
#include <QWidget>

class QLabel;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace nimbrel {
class AutoUpdateDialog;
}

namespace nimbrel::view {

// The "AutoUpdate" window: a top-level window of its own, not modal and
// without owner, that mirrors the dialog's models.
class AutoUpdateWindow : public QWidget {
    Q_OBJECT
public:
    explicit AutoUpdateWindow(AutoUpdateDialog& dialog);

    QTreeWidget& statusList() { return *statusList_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showLines();
    void showWindow();

    AutoUpdateDialog& dialog_;
    QLabel* label_;
    QTreeWidget* statusList_;
    QPushButton* proceed_;
    QPushButton* cancel_;
    QStatusBar* statusBar_;
};

// The status list's images: 1 a green tick (progress and good news), 2 a red cross (the final negative lines).
QPixmap drawStatusImage(int image);

} // namespace nimbrel::view
