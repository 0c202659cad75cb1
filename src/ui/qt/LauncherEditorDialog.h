#pragma once

#include <QDialog>

namespace nimbrel {
class LauncherEditor;
}

namespace nimbrel::view {

// frmLauncher: the program list on the left, the buttons on the right. Shown modal over its owner; it closes
// when the editor hides it, and its close box (or Esc) is "&Cancel".
class LauncherEditorDialog : public QDialog {
    Q_OBJECT
public:
    LauncherEditorDialog(LauncherEditor& editor, QWidget* owner);

    void reject() override;

private:
    LauncherEditor& editor_;
};

} // namespace nimbrel::view
