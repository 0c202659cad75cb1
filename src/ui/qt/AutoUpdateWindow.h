#pragma once

#include <QWidget>

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showWindow();

    AutoUpdateDialog& dialog_;
};

} // namespace nimbrel::view
