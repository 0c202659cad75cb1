#pragma once

#include "core/FileDialog.h"

#include <QPointer>
#include <QWidget>

namespace nimbrel::view {

// The open-file dialog of the launcher's editor: it lists folders, the files that can be executed and the
// desktop's application entries (*.desktop), and only lets an existing file be chosen.
class QtProgramDialog : public FileDialog {
public:
    std::optional<std::string> chooseProgram() override;

    // The window the dialog belongs to (the active modal window when none is set).
    void setParentWindow(QWidget* window) { parent_ = window; }

private:
    QPointer<QWidget> parent_;
};

} // namespace nimbrel::view
